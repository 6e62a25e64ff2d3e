#!/bin/bash
# The uninstaller under Wine, through the program every product registers.
#   round_trip: the sample installed silently with every kind of change and "remove all" into a
#               folder the user already had, installed again (a retry), then removed with its
#               registered QuietUninstallString: the prefix's files and registry are as before,
#               but for the differences listed below with their reasons; things planted before
#               the install (the user's files in the install folder, a file the install never
#               overwrites, an INI file it writes into, a PATH value it appends to, a value it
#               overwrites, the association it takes over) are exactly as they were.
#   remove_walk: "/R" as a person meets it: the question, the progress page, the end.
#   upgrade:    1.1 removes 1.0 through 1.0's uninstaller before installing: only 1.1's files remain.
#               Then a second product shares a file with 1.1 and has "remove all" on a folder of its
#               own, in which names are planted that the code page's best fit would turn into paths
#               outside it: removing 1.1 keeps the shared file, removing the other takes it, and
#               empties its own folder without reaching the planted names' targets.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
source "$E2E_LIB_DIR/wizard_walk.sh"

CASE=${1:?usage: test_uninstall.sh round_trip|remove_walk|upgrade}
CODE='{5B7C2E1A-9D34-4F0B-8C61-2A9E7D3F4B10}'
INSTALL='C:\Tarnwick Demo\Notes'
UNIX_INSTALL=
KEY="HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$CODE"

# set_setting FILE SECTION KEY VALUE: one value of a project file, added when missing.
set_setting() {
  python3 - "$@" <<'PY'
import sys
path, section, key, value = sys.argv[1:5]
lines = open(path, encoding="latin-1", newline="").read().split("\r\n")
out, current, done = [], None, False
for i, line in enumerate(lines):
    if line.startswith("["):
        if current == section and not done:
            out.append(f"{key}={value}"); done = True
        current = line.strip("[]")
    elif current == section and line.split("=", 1)[0] == key:
        line, done = f"{key}={value}", True
    out.append(line)
if not done:
    if current != section: out.append(f"[{section}]")
    out.append(f"{key}={value}")
open(path, "w", encoding="latin-1", newline="").write("\r\n".join(out))
PY
}

# The sample as a silent build installing into $INSTALL, its theme kept for the uninstaller.
prepare_sample() {
  local project=$1
  wizard_copy "$project"
  set_setting "$project/setup.inf" BUILDING 2 Yes
  set_setting "$project/setup.inf" APPINFO a4 "$INSTALL"
  set_setting "$project/setup.inf" APPINFO a10 Yes
  UNIX_INSTALL=$E2E_DRIVE_C/${INSTALL#C:\\}
  UNIX_INSTALL=${UNIX_INSTALL//\\//}
}

# registered_uninstall [VALUE]: the registered command, UninstallString unless VALUE names another.
registered_uninstall() { e2e_wine reg query "$KEY" /v "${1:-UninstallString}" 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p'; }

# snapshot NAME: the prefix's files (path, size) and its HKLM, HKCU and HKCR as reg export writes them.
snapshot() {
  local out=$E2E_DIR/snap-$1 root
  mkdir -p "$out"
  (cd "$E2E_DRIVE_C" && find . -mindepth 1 -not -path './users/*/Temp/*' -printf '%P %s\n' | LC_ALL=C sort) >"$out/files"
  for root in HKLM HKCU HKCR; do
    e2e_wine reg export "$root" "$(e2e_winpath "$out/$root.reg")" /y >/dev/null 2>&1 || e2e_fail "reg export $root"
    # One line per value, each under its key, so a difference names both.
    iconv -f UTF-16LE -t UTF-8 "$out/$root.reg" | tr -d '\r' |
      awk '/^\[/ { key = $0; print key; next } NF { print key " " $0 }' | LC_ALL=C sort >"$out/$root"
  done
}

# What Wine itself changes between two snapshots of a prefix, whatever program ran, each with the
# reason it is not ours.
WINE_OWN=(
  # Its desktop registers the display adapter and monitor (volatile keys) whenever it starts, and
  # stamps the driver's date anew each time.
  'HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\(Control\\(Video|Class|DeviceClasses)|Hardware Profiles)'
  'HKEY_LOCAL_MACHINE\\Hardware\\DEVICEMAP\\VIDEO'
  # It keeps the system colours and metrics of the running desktop in a temporary key.
  'HKEY_CURRENT_USER\\Software\\Wine\\Temporary System Parameters'
  # Its service manager numbers each of its starts.
  'HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\ServiceCurrent\]'
)
# What the installation leaves by design: the shared uninstaller every product of this engine uses,
# the entries it wrote into an INI file that was there before, and the part it appended to a PATH
# that was there before (the log records neither; only the value the user had stays theirs).
BY_DESIGN=(
  '^windows/dovuvi\.exe '
  '^Tarnwick Demo/Notes/planted\.ini '
  '^\[HKEY_CURRENT_USER\\Environment\] "PATH"='
)

differences() {
  local before=$E2E_DIR/snap-before after=$E2E_DIR/snap-after part pattern
  for part in files HKLM HKCU HKCR; do
    diff "$before/$part" "$after/$part" | grep '^[<>]' | sed "s/^/$part /" || true
  done >"$E2E_DIR/differences"
  cp "$E2E_DIR/differences" "$E2E_DIR/unexplained"
  for pattern in "${WINE_OWN[@]}" "${BY_DESIGN[@]}"; do
    if [[ $pattern == ^* ]]; then pattern="^[a-zA-Z]+ [<>] ${pattern#^}"; else pattern="^[a-zA-Z]+ [<>] .*$pattern"; fi
    grep -vE "$pattern" "$E2E_DIR/unexplained" >"$E2E_DIR/unexplained.new" || true
    mv "$E2E_DIR/unexplained.new" "$E2E_DIR/unexplained"
  done
}

case_round_trip() {
  local project=$E2E_DIR/project packed=$E2E_DIR/packed
  prepare_sample "$project"
  # An INI entry into a file the user already has, and a part appended to the user's PATH.
  set_setting "$project/setup.inf" INIINFO TOTAL 2
  set_setting "$project/setup.inf" INIINFO A1 'INI Files\planted.ini'
  set_setting "$project/setup.inf" INIINFO C1 '<InstallDir>'
  set_setting "$project/setup.inf" INIDATA TOTAL 3
  set_setting "$project/setup.inf" INIDATA A2 'INI Files\planted.ini\Notes\Home'
  set_setting "$project/setup.inf" INIDATA C2 '<InstallDir>'
  set_setting "$project/setup.inf" ENVIRTW TOTAL 2
  for pair in A1=PATH C1='<InstallDir>' D1=Set E1=Append F1=Remove G1=User; do
    set_setting "$project/setup.inf" ENVIRTW "${pair%%=*}" "${pair#*=}"
  done
  # "Remove all", and a settings file the install never overwrites.
  set_setting "$project/setup.inf" APPINFO a13 No
  printf 'packed\r\n' >"$project/payload/settings.cfg"
  printf 'C:\\Samples\\Notes\\settings.cfg\r\nDestination Computer\\<InstallDir>*32*0*0|Program Files\r\n' >>"$project/data.inf"
  e2e_pack "$project" "$packed" >/dev/null

  # The user's machine: a folder of their own where the product goes, holding another program's
  # files and the settings file; a value the project overwrites; the association it takes over.
  mkdir -p "$UNIX_INSTALL/OtherGame"
  printf 'mine\r\n' >"$UNIX_INSTALL/planted.txt"
  printf 'level 9\r\n' >"$UNIX_INSTALL/OtherGame/save.dat"
  printf 'mine too\r\n' >"$UNIX_INSTALL/settings.cfg"
  printf '[Mine]\r\nKeep=1\r\n' >"$UNIX_INSTALL/planted.ini"
  e2e_wine reg add 'HKCU\Environment' /v PATH /d 'C:\Planted' /f >/dev/null 2>&1 || e2e_fail "could not plant PATH"
  e2e_wine reg add 'HKCU\Software\Tarnwick Samples\Notes' /v FontSize /t REG_EXPAND_SZ /d '%HUGE%' /f >/dev/null 2>&1 ||
    e2e_fail "could not plant a value"
  e2e_wine reg add 'HKCR\.tnote' /ve /d Planted.File /f >/dev/null 2>&1 || e2e_fail "could not plant an association"
  e2e_wine reg add 'HKCR\Planted.File\shell\open\command' /ve /d 'notepad "%1"' /f >/dev/null 2>&1
  e2e_driver list >/dev/null  # the desktop up, as it will be after the install
  snapshot before

  e2e_install_silently "$packed"
  local log=$E2E_DRIVE_C/windows/Installer/$CODE/uninstall.log
  e2e_assert_file "$log" "uninstall log"
  for entry in 'NTSERVICE=TarnwickNotesSync' 'REMKEY=HKEY_CLASSES_ROOT\TarnwickNotes.Note' 'REGVAL=HKEY_CLASSES_ROOT\.tnote\' \
    'SHORTCUT=' 'REGVAL=' 'FILE=' 'DIR=' 'REMOVEALL=Yes'; do
    grep -qF "$entry" "$log" || e2e_fail "the log lacks $entry: $(cat "$log")"
  done
  for entry in 'REMKEY=HKEY_CLASSES_ROOT\.tnote' 'settings.cfg' 'REGKEY=HKEY_CURRENT_USER\Software\Tarnwick Samples'; do
    ! grep -qF "$entry" "$log" || e2e_fail "the log claims what the user had: $entry"
  done
  ! tr -d '\r' <"$log" | grep -qxF -e "DIR=$INSTALL" -e "DIR=$INSTALL\\" || e2e_fail "the log claims the user's folder"
  e2e_assert_eq $'mine too\r' "$(cat "$UNIX_INSTALL/settings.cfg")" "the kept settings file"
  # A retry of the same installation succeeds and owns the same things.
  cp "$log" "$E2E_DIR/first.log"
  rc=0
  (cd "$packed" && e2e_wine "$packed/setup.exe" /S) || rc=$?
  e2e_assert_eq 0 "$rc" "the second setup.exe /S exit code"
  cmp -s "$E2E_DIR/first.log" "$log" || e2e_fail "the second run's log differs: $(diff "$E2E_DIR/first.log" "$log")"
  local command
  command=$(registered_uninstall)
  e2e_assert_eq "\"C:\\windows\\dovuvi.exe\" /R $CODE" "$command" "UninstallString"
  # The silent removal a deployment tool runs, as registered.
  command=$(registered_uninstall QuietUninstallString)
  e2e_assert_eq "\"C:\\windows\\dovuvi.exe\" /S $CODE" "$command" "QuietUninstallString"
  rc=0
  eval "e2e_wine $command" || rc=$?
  e2e_assert_eq 0 "$rc" "dovuvi.exe /S exit code"
  snapshot after

  differences
  if [[ -s $E2E_DIR/unexplained ]]; then
    e2e_fail "the removal left differences no reason explains:
$(head -n 40 "$E2E_DIR/unexplained")"
  fi
  e2e_assert_eq $'mine\r' "$(cat "$UNIX_INSTALL/planted.txt")" "planted file"
  e2e_assert_eq $'level 9\r' "$(cat "$UNIX_INSTALL/OtherGame/save.dat")" "another program's file in the install folder"
  grep -q '^Keep=1' "$UNIX_INSTALL/planted.ini" || e2e_fail "planted INI file lost its entry"
  e2e_wine reg query 'HKCU\Environment' /v PATH 2>/dev/null | tr -d '\r' | grep -qF 'C:\Planted' ||
    e2e_fail "the planted PATH did not survive"
  e2e_wine reg query 'HKCR\.tnote' /ve 2>/dev/null | tr -d '\r' | grep -q Planted.File ||
    e2e_fail "the association taken over was not put back"
  grep -q '^uninstall end .*refused=0 failed=0 restart=no' "$E2E_DIR/trace.log" ||
    e2e_fail "unexpected end: $(grep '^uninstall ' "$E2E_DIR/trace.log")"
  e2e_log "differences explained: $(wc -l <"$E2E_DIR/differences") lines (see $E2E_DIR/differences)"
}

case_remove_walk() {
  local project=$E2E_DIR/project packed=$E2E_DIR/packed yes
  prepare_sample "$project"
  e2e_pack "$project" "$packed" >/dev/null
  e2e_install_silently "$packed"
  e2e_assert_file "$UNIX_INSTALL/notes.exe" "installed program"

  e2e_wine_bg dovuvi.exe /R "$CODE"
  e2e_driver wait --title "Corvane Tarnwick" --class '#32770' --timeout 20000 >/dev/null || e2e_fail "no question"
  local question
  question=$(e2e_control_text "Corvane Tarnwick" 1000 '#32770')
  e2e_assert_eq "Remove Tarnwick Notes and all of its components?" "$question" "question"
  e2e_shot uninstall-question >/dev/null
  e2e_driver click --title "Corvane Tarnwick" --class '#32770' --id 1 >/dev/null || e2e_fail "no Yes"

  yes=$(control_id "$project/theme/uninstall.lcd" IDYES) || e2e_fail "no IDYES on uninstall.lcd"
  e2e_driver wait --title "Tarnwick Notes Setup" --timeout 20000 >/dev/null || e2e_fail "no progress page: $(e2e_driver list)"
  local deadline=$((SECONDS + 30))
  until e2e_driver texts --title "Tarnwick Notes Setup" --timeout 1000 2>/dev/null | grep -qF "Tarnwick Notes was removed from your computer."; do
    ((SECONDS < deadline)) || e2e_fail "the page never told the end: $(e2e_driver texts --title "Tarnwick Notes Setup")"
    sleep 0.2
  done
  e2e_shot uninstall-done >/dev/null
  e2e_assert_eq OK "$(e2e_control_text "Tarnwick Notes Setup" "$yes")" "the closing button's label"
  e2e_driver click --title "Tarnwick Notes Setup" --id "$yes" >/dev/null || e2e_fail "no button to close the page"
  rc=0
  e2e_wait_exit "$E2E_BG_PID" 30 || rc=$?
  e2e_assert_eq 0 "$rc" "dovuvi.exe /R exit code"
  [[ ! -e $UNIX_INSTALL ]] || e2e_fail "the install folder is still there: $(find "$UNIX_INSTALL")"
  [[ ! -e ${UNIX_INSTALL%/*} ]] || e2e_fail "the folder the installation made above its own is still there"
  [[ -z $(registered_uninstall) ]] || e2e_fail "the product is still registered"
  grep -q '^uninstall page .*shown=yes' "$E2E_DIR/trace.log" || e2e_fail "the progress page was not shown"
}

# A small product whose version 1.1 removes 1.0 first (a new installation that removes the earlier).
write_version() {
  local project=$1 version=$2 only=$3
  mkdir -p "$project/payload"
  printf 'both %s\r\n' "$version" >"$project/payload/both.txt"
  printf '%s only\r\n' "$version" >"$project/payload/$only"
  {
    printf '[APPINFO]\r\na1=Demo App\r\na2=%s\r\na3=%s\r\na4=C:\\Demo App\r\n' "$version" "$CODE"
    printf 'a26=New Installation\r\na29=Yes\r\n[BUILDING]\r\n2=Yes\r\nCURRENTBUILD=Cabinet\r\n'
    e2e_any_machine
  } >"$project/setup.inf"
  printf 'C:\\src\\both.txt\r\nDestination Computer\\<InstallDir>*0*0*0|\r\n' >"$project/data.inf"
  printf 'C:\\src\\%s\r\nDestination Computer\\<InstallDir>*0*0*0|\r\n' "$only" >>"$project/data.inf"
}

# Another product, with "remove all" on C:\Other App, that also installs Demo App's both.txt.
OTHER='{0D5E4C3B-2A19-4F08-9E7D-6C5B4A392817}'
write_other() {
  local project=$1
  write_version "$project" 2.0 other.txt
  sed -i "s/a3=$CODE/a3=$OTHER/; s/a4=C:\\\\Demo App/a4=C:\\\\Other App\\r\\na13=No/" \
    "$project/setup.inf"
  sed -i '2s/.*/Destination Computer\\C:\\Demo App*0*0*0|\r/' "$project/data.inf"
}

case_upgrade() {
  write_version "$E2E_DIR/v10" 1.0 old.txt
  write_version "$E2E_DIR/v11" 1.1 new.txt
  e2e_pack "$E2E_DIR/v10" "$E2E_DIR/p10" >/dev/null
  e2e_pack "$E2E_DIR/v11" "$E2E_DIR/p11" >/dev/null
  e2e_install_silently "$E2E_DIR/p10"
  e2e_assert_file "$E2E_DRIVE_C/Demo App/old.txt" "1.0's own file"
  e2e_install_silently "$E2E_DIR/p11"
  e2e_assert_eq $'both.txt\nnew.txt' "$(ls "$E2E_DRIVE_C/Demo App")" "files after the upgrade"
  e2e_assert_eq $'both 1.1\r' "$(cat "$E2E_DRIVE_C/Demo App/both.txt")" "the shared file is 1.1's"
  grep -q '^upgrade remove-earlier .*result=ran' "$E2E_DIR/trace.log" || e2e_fail "1.0's uninstaller did not run"
  grep -q '^uninstall end .*refused=0 failed=0' "$E2E_DIR/trace.log" || e2e_fail "1.0's removal: $(grep '^uninstall ' "$E2E_DIR/trace.log")"
  e2e_assert_file "$E2E_DRIVE_C/windows/Installer/$CODE/uninstall.log" "1.1's log"
  grep -q 'new.txt' "$E2E_DRIVE_C/windows/Installer/$CODE/uninstall.log" || e2e_fail "1.1's log lacks its file"

  write_other "$E2E_DIR/other"
  e2e_pack "$E2E_DIR/other" "$E2E_DIR/p-other" >/dev/null
  e2e_install_silently "$E2E_DIR/p-other"
  local other=$E2E_DRIVE_C/Other\ App fw=$'\xef\xbc\xbc'  # U+FF3C, the fullwidth backslash
  e2e_assert_file "$other/other.txt" "the other product's file"
  # Names anyone could plant in the folder: through the ANSI functions they read as ..\victim.txt
  # and ..\..\users\alice, outside the folder.
  printf 'victim\r\n' >"$E2E_DRIVE_C/victim.txt"
  mkdir -p "$E2E_DRIVE_C/users/alice" "$other/..${fw}..${fw}users${fw}alice"
  printf 'alice\r\n' >"$E2E_DRIVE_C/users/alice/keep.txt"
  printf 'planted\r\n' >"$other/..${fw}victim.txt"

  rc=0
  e2e_wine dovuvi.exe /S "$CODE" || rc=$?
  e2e_assert_eq 0 "$rc" "removing 1.1"
  e2e_assert_eq $'both 2.0\r' "$(cat "$E2E_DRIVE_C/Demo App/both.txt")" "the file the other product shares"
  [[ ! -e "$E2E_DRIVE_C/Demo App/new.txt" ]] || e2e_fail "1.1's own file stayed"
  grep -q 'both.txt" result=kept-shared' "$E2E_DIR/trace.log" || e2e_fail "no kept-shared: $(grep '^uninstall entry' "$E2E_DIR/trace.log")"
  e2e_wine dovuvi.exe /S "$OTHER" || rc=$?
  e2e_assert_eq 0 "$rc" "removing the other product"
  [[ ! -e "$E2E_DRIVE_C/Demo App/both.txt" ]] || e2e_fail "the last product to go did not take the shared file"
  [[ ! -e $other ]] || e2e_fail "remove all left: $(find "$other")"
  e2e_assert_eq $'victim\r' "$(cat "$E2E_DRIVE_C/victim.txt")" "the file outside the folder a planted name points to"
  e2e_assert_eq $'alice\r' "$(cat "$E2E_DRIVE_C/users/alice/keep.txt")" "the profile a planted name points to"
}

e2e_begin "uninstall_$CASE"
# Wine's menu builder mirrors every shortcut as a desktop-menu file, in the prefix and in the real
# home folder; it is not the program under test, and the host's home is no place for a test.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
"case_$CASE"
