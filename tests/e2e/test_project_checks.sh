#!/bin/bash
# The checks a project makes of the machine before the first page, under Wine with a chosen Windows
# version: requirements, an earlier installation, user variables read from the registry.
# Usage: test_project_checks.sh CASE
set -euo pipefail
source "$(dirname "$0")/lib.sh"

CASE=${1:?usage: test_project_checks.sh os_requirement|ram_requirement|upgrade_autodetect|registry_variable|earlier_uninstaller}
CODE='{3F2A8C51-7B0E-4D19-A6C4-58E1B2D9F037}'
ANY_MACHINE=$'[SYSTEM]\r\n1=All Processors\r\n2=Any\r\n3=Any resolution\r\n4=Any colors\r\n'
ALL_SYSTEMS=$'os0=Yes\r\nos1=Yes\r\nos2=Yes\r\nos3=Yes\r\nos4=Yes\r\nos5=Yes\r\nos6=Yes\r\n'
TITLE='Corvane Tarnwick'

# A project folder with the given settings text (APPINFO first) and a language file, packed.
pack_project() {
  local settings=$1 project=$E2E_DIR/project
  mkdir -p "$project"
  # A silent build: when the checks pass it installs without a page and ends by itself.
  printf '[APPINFO]\r\na1=Demo App\r\na2=1.0\r\na3=%s\r\na4=C:\\Demo\r\n%s[BUILDING]\r\n2=Yes\r\n' "$CODE" "$settings" >"$project/setup.inf"
  printf 'C:\\src\\a.txt\r\nDestination Computer\\<InstallDir>*0*0*0|\r\n' >"$project/data.inf"
  mkdir -p "$project/payload" && printf 'a' >"$project/payload/a.txt"
  printf '[SetupError]\r\n3=Close\r\n' >"$project/language.lan"
  PACKED=$E2E_DIR/packed
  e2e_pack "$project" "$PACKED" >/dev/null
}

# Windows version as Wine reports it to programs: winxp, win2k, win7, ...
set_windows_version() {
  e2e_wine reg add 'HKCU\Software\Wine' /v Version /d "$1" /f >/dev/null 2>&1 || e2e_fail "cannot set version $1"
}

seed_registry() {  # KEY NAME VALUE
  e2e_wine reg add "$1" /v "$2" /d "$3" /f >/dev/null 2>&1 || e2e_fail "cannot seed $1\\$2"
}

run_setup() {
  local rc=0
  (cd "$PACKED" && e2e_wine "$PACKED/setup.exe") || rc=$?
  return "$rc"
}

start_setup() {
  cd "$PACKED"
  e2e_wine_bg "$PACKED/setup.exe"
  cd - >/dev/null
}

trace_has() {
  grep -q -E "$1" "$E2E_DIR/trace.log" 2>/dev/null || e2e_fail "no trace line matching /$1/; trace:"$'\n'"$(cat "$E2E_DIR/trace.log" 2>/dev/null)"
}

# A refused requirement shows the error box with the expected text and one button; pressing it ends
# the run before any page and leaves no work folder.
expect_refusal() {
  local text=$1 shot=$2
  start_setup
  e2e_driver wait --title "$TITLE" --timeout 20000 >/dev/null || e2e_fail "no error box; windows: $(e2e_driver list)"
  e2e_assert_eq "$text" "$(e2e_control_text "$TITLE" 1000)" "error text"
  e2e_assert_eq "Close" "$(e2e_control_text "$TITLE" 2)" "the button's label from the language file"
  e2e_shot "$shot" >/dev/null
  e2e_driver click --title "$TITLE" --id 2 >/dev/null || e2e_fail "cannot press the button"
  e2e_wait_exit "$E2E_BG_PID" 30 || true
  if grep -q '^wizard page' "$E2E_DIR/trace.log"; then e2e_fail "the wizard went on after a refusal"; fi
  # The work folder held the decrypted project: it goes with the refusal.
  local left
  left=$(ls -d "$E2E_TEMP"/tw[0-9]* 2>/dev/null || true)
  [[ -z $left ]] || e2e_fail "work folder left behind after a refusal: $left"
}

case_os_requirement() {
  # No system allowed at all: refused whatever Windows this is.
  set_windows_version winxp
  pack_project "$ANY_MACHINE"
  expect_refusal "The operating system is not adequate for running Demo App." os_requirement_refused
  # Only Windows XP allowed: refused on Windows 7, accepted on Windows XP.
  rm -rf "$E2E_DIR/project" "$PACKED" "$E2E_DIR/trace.log"
  pack_project "$ANY_MACHINE"$'os5=Yes\r\n'
  set_windows_version win7
  expect_refusal "The operating system is not adequate for running Demo App." os_requirement_refused_win7
  rm -f "$E2E_DIR/trace.log"
  set_windows_version winxp
  run_setup || e2e_fail "setup.exe failed on Windows XP"
  trace_has '^requirements check name=os .*actual=5\.1\..* result=pass'
}

case_ram_requirement() {
  pack_project $'[SYSTEM]\r\n1=All Processors\r\n2=1048576 MB\r\n'"$ALL_SYSTEMS"
  expect_refusal "The amount of RAM is not adequate for running Demo App." ram_requirement_refused
  trace_has '^requirements check name=ram required=1048576 .*result=fail'
}

case_upgrade_autodetect() {
  seed_registry "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$CODE" InstallLocation 'C:\Old Demo'
  pack_project $'a26=Upgrade\r\na27=Auto-Detect\r\n'"$ANY_MACHINE$ALL_SYSTEMS"
  run_setup || e2e_fail "setup.exe failed"
  trace_has '^upgrade detect method=auto folder="C:\\Old Demo"'
  trace_has '^wizard first-page .*installdir="C:\\Old Demo\\"'
  e2e_assert_file "$E2E_DRIVE_C/Old Demo/a.txt" "the payload installed into the earlier folder"
}

case_registry_variable() {
  seed_registry 'HKCU\Software\Tarnwick Tests' Edition 'Pro Edition'
  pack_project "$ANY_MACHINE$ALL_SYSTEMS"$'[VARIABLES]\r\nTOTAL=2\r\nA0=<Edition>\r\nB0=Basic\r\nD0=Registry\r\nE0=HKEY_CURRENT_USER\r\nF0=Software\\Tarnwick Tests\r\nG0=Edition\r\nA1=<Missing>\r\nB1=Fallback\r\nD1=Registry\r\nE1=HKEY_CURRENT_USER\r\nF1=Software\\Tarnwick Tests\r\nG1=Nothing\r\n'
  run_setup || e2e_fail "setup.exe failed"
  trace_has '^variables value name=<Edition> .*value="Pro Edition"'
  trace_has '^variables value name=<Missing> .*value=Fallback'
}

case_earlier_uninstaller() {
  e2e_assert_file "$E2E_WIN64_DIR/dovuvi_standin.exe" "uninstaller stand-in"
  cp "$E2E_WIN64_DIR/dovuvi_standin.exe" "$E2E_DRIVE_C/windows/dovuvi.exe"
  seed_registry "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$CODE" DisplayName 'Demo App 0.9'
  pack_project $'a26=New Installation\r\na29=Yes\r\n'"$ANY_MACHINE$ALL_SYSTEMS"
  run_setup || e2e_fail "setup.exe failed"
  local log=$E2E_DRIVE_C/dovuvi-standin.log
  e2e_assert_file "$log" "the stand-in's log"
  grep -q -F "started  \"/S\" $CODE" "$log" || e2e_fail "unexpected command line: $(cat "$log")"
  # setup.exe ended after the stand-in: it waited for it.
  grep -q '^finished' "$log" || e2e_fail "setup.exe did not wait for the uninstaller"
  trace_has '^upgrade remove-earlier .*result=ran'
}

e2e_begin "project_checks_$CASE"
"case_$CASE"
