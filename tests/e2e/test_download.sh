#!/bin/bash
# Web payload entries under Wine: a silent installation fetches a data.inf entry from a small HTTP
# server on loopback. "ok": the file arrives byte for byte and is logged; "missing": the server
# answers 404, setup says so in a message box, and the installation goes on after OK without
# logging the file. In both, an address whose name climbs out of its folder writes nothing.
# Usage: test_download.sh ok|missing
set -euo pipefail
source "$(dirname "$0")/lib.sh"

CASE=${1:?usage: test_download.sh ok|missing}
CODE='{5B1E8C24-0A7D-4E39-8F62-9D4C3A1B2E70}'

e2e_begin "download_$CASE"
project=$E2E_DIR/project
packed=$E2E_DIR/packed
mkdir -p "$project/payload" "$E2E_DIR/www"
[[ $CASE == ok ]] && head -c 200000 /dev/urandom >"$E2E_DIR/www/pkg.bin"
printf 'MZ' >"$E2E_DIR/www/evil.dll"

# The server dribbles the body out over about two seconds, so the transfer thread reports its
# progress to the page while the install worker waits for it.
e2e_http_serve "$E2E_DIR/www" 0.1
port=$E2E_HTTP_PORT

printf 'first file\r\n' >"$project/payload/readme.txt"
{
  printf '[APPINFO]\r\na1=Download Demo\r\na2=1.0\r\na3=%s\r\na4=C:\\Download Demo\r\n' "$CODE"
  printf '[BUILDING]\r\n2=Yes\r\nCURRENTBUILD=Cabinet\r\n'
  e2e_any_machine
} >"$project/setup.inf"
{
  printf 'C:\\src\\readme.txt\r\nDestination Computer\\<InstallDir>*0*0*0|\r\n'
  printf 'http://127.0.0.1:%s/pkg.bin\r\nDestination Computer\\<InstallDir>*0*0*0|\r\n' "$port"
  # A name that climbs out of the install folder is refused before anything is fetched.
  printf 'http://127.0.0.1:%s/..\\..\\evil.dll\r\nDestination Computer\\<InstallDir>sub*0*0*0|\r\n' "$port"
} >"$project/data.inf"
e2e_pack "$project" "$packed" >/dev/null

installed=$E2E_DRIVE_C/Download\ Demo
no_traversal() {
  grep -q '^install file-refused ' "$E2E_DIR/trace.log" || e2e_fail "the traversal name was not refused in the trace"
  local found
  found=$(find "$E2E_DRIVE_C" -iname evil.dll 2>/dev/null)
  [[ -z $found ]] || e2e_fail "the traversal name wrote $found"
}
log=$E2E_DRIVE_C/windows/Installer/$CODE/uninstall.log
rc=0
case $CASE in
  ok)
    (cd "$packed" && e2e_wine "$packed/setup.exe") || rc=$?
    e2e_assert_eq 0 "$rc" "setup.exe exit code"
    cmp "$E2E_DIR/www/pkg.bin" "$installed/pkg.bin" || e2e_fail "pkg.bin differs or is missing"
    grep -q '^install download .*result=ok status=200 bytes=200000' "$E2E_DIR/trace.log" ||
      e2e_fail "no successful download in the trace: $(grep download "$E2E_DIR/trace.log")"
    grep -qxF $'FILE=C:\\Download Demo\\pkg.bin\r' "$log" || e2e_fail "pkg.bin not in the uninstall log: $(cat "$log")"
    no_traversal
    ;;
  missing)
    cd "$packed"
    e2e_wine_bg "$packed/setup.exe"
    e2e_driver wait --title Setup --class '#32770' --timeout 30000 >/dev/null ||
      e2e_fail "no message box titled Setup; windows: $(e2e_driver list)"
    text=$(e2e_control_text Setup 65535 '#32770') || e2e_fail "cannot read the message box text"
    e2e_assert_eq $'Failed to retrieve a HTTP 200 status, Status Code:404\r\nTry later or download using your browser and add this file to Tarnwick Folder.' \
      "$text" "message box text"
    e2e_shot download_404 >/dev/null
    e2e_driver click --title Setup --class '#32770' --id 1 >/dev/null || e2e_fail "no OK button to click"
    e2e_wait_exit "$E2E_BG_PID" 30 || rc=$?
    e2e_assert_eq 0 "$rc" "setup.exe exit code"
    # The installation went on: the registration after the copy phase was written.
    e2e_assert_file "$installed/readme.txt" "the payload file"
    e2e_assert_file "$log" "uninstall log"
    grep -q '^install download .*result=failed status=404' "$E2E_DIR/trace.log" ||
      e2e_fail "no refused download in the trace: $(grep download "$E2E_DIR/trace.log")"
    # Nothing arrived, so nothing is logged for the uninstaller to delete.
    if grep -q 'pkg.bin' "$log"; then e2e_fail "a failed download is in the uninstall log: $(cat "$log")"; fi
    no_traversal
    ;;
  *) e2e_fail "unknown case $CASE" ;;
esac
