#!/bin/bash
# The sample project's interactive wizard under Wine, driven by the UI driver.
# "walk": every page by clicking: the close box declined on the welcome page, the license accepted,
# a customer name typed, a new folder chosen in the folder dialog (and created), custom setup with
# the Samples feature switched off and still shown off after Back and Next, then install and
# Finish with the launch box ticked; the files, registry and uninstall log follow those choices,
# and the program started is the one in the chosen folder.
# "cancel": a slow web download keeps the progress page up; Cancel there rolls the run back, ends
# on one cancelled completion page and removes the work folder.
# "language": the language page offers the project's languages with German preselected, and the
# wizard then speaks German; Cancel on its license page leaves the completion page alone.
# "billboards": two pictures from the work folder on the billboard thread, one after the other, and
# the window gone after the last one's time.
# Usage: test_wizard.sh walk|cancel|language|billboards
set -euo pipefail
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wizard_walk.sh"

CASE=${1:?usage: test_wizard.sh walk|cancel|language|billboards}
CODE='{5B7C2E1A-9D34-4F0B-8C61-2A9E7D3F4B10}'
e2e_begin "wizard_$CASE"
project=$E2E_DIR/project
packed=$E2E_DIR/packed
installed=$E2E_DRIVE_C/Tarnwick\ Demo/Notes
log=$E2E_DRIVE_C/windows/Installer/$CODE/uninstall.log

reg_value() {  # KEY NAME -> the data column of `reg query`
  e2e_wine reg query "$1" /v "$2" "$E2E_REG_VIEW" 2>/dev/null | tr -d '\r' | awk -v name="$2" '$1 == name { $1 = ""; $2 = ""; sub(/^  */, ""); print }'
}

walk() {
  wizard_prepare "$project" "$packed"
  WIZARD_DETOURS=1
  wizard_start "$packed"
  wizard_walk_to_ready
  wizard_install_and_finish
  rc=0
  e2e_wait_exit "$E2E_BG_PID" 60 || rc=$?
  e2e_assert_eq 0 "$rc" "setup.exe exit code"

  for file in notes.exe readme.txt notes_core.dll Help/guide.txt notes.ini; do
    e2e_assert_file "$installed/$file" "installed $file"
  done
  e2e_assert_no_file "$installed/Samples" "the switched-off feature's folder"
  e2e_assert_eq 'C:\Tarnwick Demo\Notes\' "$(reg_value 'HKCU\Software\Tarnwick Samples\Notes' InstallPath)" \
    "install path in the registry"
  grep -qxF $'FILE=C:\\Tarnwick Demo\\Notes\\Help\\guide.txt\r' "$log" || e2e_fail "guide.txt not logged: $(cat "$log")"
  grep -qxF $'DIR=C:\\Tarnwick Demo\r' "$log" || e2e_fail "the folder the folder dialog made is not logged: $(cat "$log")"
  ! grep -q 'sample1.txt' "$log" || e2e_fail "a file of the switched-off feature was logged"
  grep -q '^wizard feature name=Samples state=255' "$E2E_DIR/trace.log" || e2e_fail "the feature choice is not traced"
  # Finish started the program from the folder chosen in the folder dialog, and the finish-time
  # library action ran from there too.
  local started=$E2E_TEMP/tarnwick-notes-started.txt
  local note=$'program=C:\\Tarnwick Demo\\Notes\\notes.exe\r\nfolder=C:\\Tarnwick Demo\\Notes\r'
  # The program may still be writing its note when the file appears: wait for the whole of it.
  note_written() { [[ $(cat "$started" 2>/dev/null) == "$note" ]]; }
  e2e_wait_for 20 note_written ||
    [[ -f $started ]] || e2e_fail "the program was not started: $(grep '^wizard launch' "$E2E_DIR/trace.log")"
  e2e_assert_eq "$note" "$(cat "$started")" "the started program's note"
  grep -qF 'file-action file="c:\tarnwick demo\notes\notes_core.dll" page="After Click Finish Button" ran="library result=0"' \
    "$E2E_DIR/trace.log" || e2e_fail "the finish action did not run from the chosen folder: $(grep file-action "$E2E_DIR/trace.log")"
  grep -q '^wizard customer user="Ada Lovelace"' "$E2E_DIR/trace.log" || e2e_fail "the customer name did not reach the wizard"
}

cancel() {
  mkdir -p "$E2E_DIR/www"
  head -c 2000000 /dev/urandom >"$E2E_DIR/www/extras.bin"
  # The server trickles the body out for about twenty seconds: the progress page stays up.
  e2e_http_serve "$E2E_DIR/www" 0.1
  port=$E2E_HTTP_PORT
  wizard_copy "$project"
  printf 'http://127.0.0.1:%s/extras.bin\r\nDestination Computer\\<InstallDir>*0*0*0|Program Files\r\n' "$port" \
    >>"$project/data.inf"
  e2e_pack "$project" "$packed" >/dev/null
  wizard_start "$packed"
  wizard_walk_to_ready
  wizard_click --caption "Install"
  wizard_wait_text "Installing Tarnwick Notes" 60
  # The Cancel must come while the download runs, after the files before it were copied.
  e2e_wait_for 60 grep -q 'GET /extras.bin' "$E2E_DIR/http.log" || e2e_fail "the download never started"
  wizard_shot 10-progress
  wizard_click --caption "Cancel"
  wizard_question_answer "Yes"
  wizard_wait_text "Setup was interrupted" 60
  wizard_shot 12-cancelled
  e2e_assert_eq "$WIZARD_TITLE" "$(wizard_pages)" "windows after the cancel"
  for dir in "$E2E_TEMP"/tw*; do
    if [[ -e $dir ]]; then e2e_fail "the work folder is still there: $dir"; fi
  done
  wizard_click --id "$(wizard_id complete.lcd IDC_FINISH)"
  rc=0
  e2e_wait_exit "$E2E_BG_PID" 60 || rc=$?
  e2e_assert_eq $((1602 & 255)) "$rc" "setup.exe exit code (1602: cancelled by the user)"
  e2e_assert_no_file "$installed/extras.bin" "the cancelled download"
  # Rolled back: the files copied before the download are gone again, and so is the product.
  e2e_assert_no_file "$installed/notes.exe" "a file the cancelled run had copied"
  grep -q '^rollback end .*failed=0' "$E2E_DIR/trace.log" || e2e_fail "no rollback: $(grep '^rollback' "$E2E_DIR/trace.log")"
}

language() {
  wizard_copy "$project"
  sed -i 's/^METHOD=Auto-Detect/METHOD=Ask User/; s/^Language=English/Language=Ger/' "$project/setup.inf"
  e2e_pack "$project" "$packed" >/dev/null
  wizard_start "$packed"
  wizard_wait_text "Please select the language for the installation:"
  local list
  list=$(e2e_driver texts --title "$WIZARD_TITLE" | awk -F'\t' '$2 == "ComboBox" { print $3 }')
  e2e_assert_eq German "$list" "the preselected language"
  wizard_shot language
  wizard_click --id "$(wizard_id askuser.lcd IDC_SETLANGUAGE)"
  wizard_wait_text "Willkommen beim Installations-Assistenten"
  wizard_click --caption "Weiter >"
  wizard_wait_text "Lizenzvertrag"
  grep -q '^language apply file=.*languages\\German.lan' "$E2E_DIR/trace.log" || e2e_fail "German was not applied"
  # Cancel on the license page, confirmed: that page goes, and the completion page is all that is left.
  wizard_click --caption "Abbrechen"
  wizard_question_answer "Ja"
  wizard_wait_text "Die Installation wurde abgebrochen"
  e2e_assert_eq "$WIZARD_TITLE" "$(wizard_pages)" "windows after the cancel"
  wizard_click --id "$(wizard_id complete.lcd IDC_FINISH)"
  rc=0
  e2e_wait_exit "$E2E_BG_PID" 30 || rc=$?
  e2e_assert_eq $((1602 & 255)) "$rc" "setup.exe exit code (1602: cancelled by the user)"
}

billboards() {
  wizard_copy "$project"
  cp "$project/theme/side.gif" "$project/support/tall.gif"
  cp "$project/setup.gif" "$project/support/wide.gif"
  printf '[BILLBOARDSTW]\r\nTOTAL=2\r\nB0=art\\tall.gif\r\nC0=2\r\nD0=40\r\nE0=60\r\nB1=wide.gif\r\nC1=2\r\n' \
    >>"$project/setup.inf"
  e2e_pack "$project" "$packed" >/dev/null
  wizard_start "$packed"
  wizard_wait_text "Welcome to the Tarnwick Notes Setup Wizard"
  local deadline=$((SECONDS + 30))
  until grep -q '^billboard end' "$E2E_DIR/trace.log" 2>/dev/null; do
    ((SECONDS < deadline)) || e2e_fail "the billboards did not end: $(grep billboard "$E2E_DIR/trace.log")"
    sleep 0.3
  done
  grep -q '^billboard show index=0 file=.*\\tall.gif" seconds=2 result=ok' "$E2E_DIR/trace.log" &&
    grep -q '^billboard show index=1 file=.*\\wide.gif" seconds=2 result=ok' "$E2E_DIR/trace.log" ||
    e2e_fail "the billboards were not shown: $(grep billboard "$E2E_DIR/trace.log")"
  _e2e_alive "$E2E_BG_PID" || e2e_fail "setup.exe ended with the billboards"
  wizard_wait_text "Welcome to the Tarnwick Notes Setup Wizard"
}

case $CASE in
  walk) walk ;;
  billboards) billboards ;;
  cancel) cancel ;;
  language) language ;;
  *) e2e_fail "unknown case $CASE" ;;
esac
e2e_end
