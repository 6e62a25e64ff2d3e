#!/bin/bash
# Start-up of setup.exe under Wine: the work folder and the decrypted project, the first-run theme
# move, and the messages for missing and damaged project files. Usage: test_startup.sh CASE
set -euo pipefail
source "$(dirname "$0")/lib.sh"

CASE=${1:?usage: test_startup.sh packed|missing_data|corrupt_setup|corrupt_setup_link|theme_once}
PROJECT=$E2E_LIB_DIR/projects/basic
WORK_NAME_RE='^tw[0-9]{6}(_[0-9]+)?$'
MISSING_FILES_TEXT=$'Sorry, Tarnwick can\'t find data files.\r\nsetup.ziv and data.ziv\r\nThese files must be in the same directory of setup.exe'
SETUP_TIMEOUT_S=30
BOX_TIMEOUT_MS=20000

# The basic project packed into $PACKED, the folder setup.exe runs from.
pack_basic() {
  PACKED=$E2E_DIR/packed
  e2e_pack "$PROJECT" "$PACKED" >/dev/null
}

# setup.exe looks for its project files in its current directory, so it starts from $PACKED.

start_setup() {
  cd "$PACKED"
  e2e_wine_bg "$PACKED/setup.exe"
  cd - >/dev/null
}

# Runs setup.exe until it shows its first page (it then waits for the user), and ends it there.
run_to_first_page() {
  local before
  before=$(grep -c '^wizard page ' "$E2E_DIR/trace.log" 2>/dev/null || true)
  start_setup
  for _ in $(seq 300); do
    (($(grep -c '^wizard page ' "$E2E_DIR/trace.log" 2>/dev/null || echo 0) > ${before:-0})) && break
    _e2e_alive "$E2E_BG_PID" || break
    sleep 0.1
  done
  grep -q '^wizard page ' "$E2E_DIR/trace.log" 2>/dev/null || e2e_fail "setup.exe showed no page; trace: $(cat "$E2E_DIR/trace.log" 2>/dev/null)"
  _e2e_kill_prefix "$WINEPREFIX"
  wait "$E2E_BG_PID" 2>/dev/null || true
}

# Names of the work folders in the user's temp folder, one a line.
work_folders() {
  local dir name
  for dir in "$E2E_TEMP"/*/; do
    name=${dir%/}
    name=${name##*/}
    if [[ $name =~ $WORK_NAME_RE ]]; then echo "$name"; fi
  done
  return 0
}

# The one work folder of this run, as a Unix path.
the_work_folder() {
  local names
  names=$(work_folders)
  [[ -n $names ]] || e2e_fail "no work folder tw<HHMMSS> in $E2E_TEMP: $(ls -A "$E2E_TEMP")"
  [[ $names != *$'\n'* ]] || e2e_fail "more than one work folder: $(tr '\n' ' ' <<<"$names")"
  echo "$E2E_TEMP/$names"
}

# A decrypted project file is the plain file followed by the zero bytes that padded its last block.
assert_plain_plus_padding() {
  local plain=$1 decrypted=$2 size padded
  e2e_assert_file "$decrypted" "decrypted file"
  size=$(stat -c %s "$plain")
  padded=$(((size + 15) / 16 * 16))
  e2e_assert_eq "$padded" "$(stat -c %s "$decrypted")" "size of $decrypted (plain $size bytes, padded to 16)"
  cmp -s -n "$size" "$plain" "$decrypted" || e2e_fail "$decrypted does not start with the text of $plain"
  e2e_assert_eq 0 "$(tail -c +$((size + 1)) "$decrypted" | tr -d '\000' | wc -c)" "non-zero padding bytes in $decrypted"
}

# Waits for setup.exe's message box and prints its text.
message_box_text() {
  e2e_driver wait --title Setup --class '#32770' --timeout "$BOX_TIMEOUT_MS" >/dev/null ||
    e2e_fail "no message box titled Setup; windows: $(e2e_driver list)"
  e2e_control_text Setup 65535 '#32770' || e2e_fail "cannot read the message box text"
}

click_ok_and_wait_exit() {
  e2e_driver click --title Setup --class '#32770' --id 1 >/dev/null || e2e_fail "no OK button to click"
  e2e_wait_exit "$E2E_BG_PID" "$SETUP_TIMEOUT_S" || true
}

case_packed() {
  pack_basic
  local work
  run_to_first_page
  work=$(the_work_folder)
  assert_plain_plus_padding "$PROJECT/setup.inf" "$work/setup.inf"
  assert_plain_plus_padding "$PROJECT/data.inf" "$work/data.inf"
  # TARNWICK_LOG reached the engine: it traced the decryption.
  e2e_assert_file "$E2E_DIR/trace.log" "trace log"
  grep -q '^startup decrypt .*result=ok' "$E2E_DIR/trace.log" ||
    e2e_fail "no 'startup decrypt ... result=ok' line in the trace: $(cat "$E2E_DIR/trace.log")"
}

case_missing_data() {
  pack_basic
  rm "$PACKED/data.ziv"
  start_setup
  local text work
  text=$(message_box_text)
  # The static control may keep "\r\n" as given or store bare "\n"; both read the same to the user.
  e2e_assert_eq "${MISSING_FILES_TEXT//$'\r'/}" "${text//$'\r'/}" "missing files message"
  # The box reads as it always has; the trace has the system's own words for the missing file.
  grep -q '^startup decrypt result=missing error=2 reason="[^"]' "$E2E_DIR/trace.log" ||
    e2e_fail "no system reason on the decrypt line: $(grep '^startup decrypt' "$E2E_DIR/trace.log")"
  e2e_shot startup_missing_files >/dev/null
  click_ok_and_wait_exit
  # setup.ziv was decrypted before data.ziv was found missing.
  work=$(the_work_folder)
  assert_plain_plus_padding "$PROJECT/setup.inf" "$work/setup.inf"
  e2e_assert_no_file "$work/data.inf" "data.inf without data.ziv"
}

# A setup.ziv whose first 32 bytes are not the key's signature: the message, then the work folder goes.
start_with_corrupt_setup() {
  pack_basic
  head -c 4096 /dev/urandom >"$PACKED/setup.ziv"
  start_setup
  local text
  text=$(message_box_text)
  [[ $text == "FileCrypt ERROR: File "* && $text == *"setup.ziv cannot be Correctly Decrypted!" ]] ||
    e2e_fail "unexpected message: $(printf '%q' "$text")"
  # Bytes at fault are no system failure: no reason, not even an earlier call's.
  ! grep '^startup decrypt result=error' "$E2E_DIR/trace.log" | grep -q ' error=' ||
    e2e_fail "a system reason for bad bytes: $(grep '^startup decrypt' "$E2E_DIR/trace.log")"
}

case_corrupt_setup() {
  start_with_corrupt_setup
  the_work_folder >/dev/null
  click_ok_and_wait_exit
  [[ -z $(work_folders) ]] || e2e_fail "work folder left behind: $(work_folders)"
}

# Removing the work folder removes a link to a folder planted in it, never what it points at.
# (Only folder links: Wine shows a Unix link to a file as a plain file, and deleting it deletes the
# target, so no Windows program could tell that one apart under Wine.)
case_corrupt_setup_link() {
  start_with_corrupt_setup
  local work left sentinel=$E2E_DIR/sentinel
  work=$(the_work_folder)
  mkdir -p "$sentinel"
  echo keep >"$sentinel/keep.txt"
  ln -s "$sentinel" "$work/link"
  click_ok_and_wait_exit
  e2e_assert_eq keep "$(cat "$sentinel/keep.txt" 2>/dev/null)" "file in the folder behind the link"
  e2e_assert_no_file "$work/setup.inf" "setup.inf after the work folder was removed"
  # Wine 8 cannot delete a folder link through Win32 (RemoveDirectory follows it and finds the
  # target not empty), so that link, and with it the work folder, may stay; nothing else may.
  left=$(ls -A "$work" 2>/dev/null | tr '\n' ' ')
  [[ -z $left || $left == "link " ]] || e2e_fail "work folder still holds: $left"
}

case_theme_once() {
  pack_basic
  local name
  for name in back.bmp welcome.lcd; do e2e_assert_file "$PACKED/^!$name" "packed theme file"; done
  run_to_first_page
  for name in back.bmp welcome.lcd; do
    cmp -s "$PROJECT/theme/$name" "$PACKED/theme/$name" || e2e_fail "theme/$name missing or changed after the first run"
    e2e_assert_no_file "$PACKED/^!$name" "moved theme file"
  done
  # With the theme folder in place, a second run leaves a new theme file where it is.
  cp "$PROJECT/theme/back.bmp" "$PACKED/^!late.bmp"
  sleep 1  # the second run must get a work folder name of its own second
  run_to_first_page
  e2e_assert_file "$PACKED/^!late.bmp" "theme file on the second run"
  e2e_assert_no_file "$PACKED/theme/late.bmp" "theme file moved on the second run"
  e2e_assert_eq 2 "$(work_folders | wc -l)" "work folders after two runs"
}

declare -F "case_$CASE" >/dev/null || e2e_fail "unknown case $CASE"
e2e_begin "startup_$CASE"
"case_$CASE"
