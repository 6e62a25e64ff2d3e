#!/bin/bash
# The fixed dialogs drawn by the real Win32 side from setup.exe's own resources: texts, labels,
# visible buttons, what each button returns, and a screenshot of every one of them.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

e2e_begin dialogs
gallery=$E2E_WIN64_DIR/dialog_gallery.exe
e2e_assert_file "$gallery" "dialog gallery"
printf '[CancelSetup]\r\n0=Cancel the [ProductName] installation?\r\n1=No\r\n2=Yes\r\n[SetupError]\r\n3=Close\r\n' \
  >"$E2E_DRIVE_C/language.lan"

# show KIND SHOT TITLE TEXT_EXPECTED BUTTON_ID EXPECTED_RESULT [TEXT]: opens the dialog, checks its
# text, photographs it, presses the button and checks what the dialog returned.
show() {
  local kind=$1 shot=$2 title=$3 expected=$4 button=$5 result=$6 text=${7:-} rc=0
  e2e_wine_bg "$gallery" 'C:\language.lan' "$kind" "$text"
  e2e_driver wait --title "$title" --timeout 20000 >/dev/null || e2e_fail "$kind: no dialog; windows: $(e2e_driver list)"
  e2e_assert_eq "$expected" "$(e2e_control_text "$title" 1000)" "$kind: text"
  e2e_shot "dialog_$shot" >/dev/null
  e2e_driver click --title "$title" --id "$button" >/dev/null || e2e_fail "$kind: no button $button"
  e2e_wait_exit "$E2E_BG_PID" 20 || rc=$?
  e2e_assert_eq "$result" "$rc" "$kind: result"
}

show confirm 142_confirm 'Corvane Tarnwick' 'Cancel the Tarnwick Notes installation?' 1 1
show confirm 142_confirm_declined 'Corvane Tarnwick' 'Cancel the Tarnwick Notes installation?' 2 2
show error 142_error 'Corvane Tarnwick' 'Tarnwick Notes needs more memory.' 2 2 '<ProductName> needs more memory.'
show question 142_question 'Corvane Tarnwick' 'Restart now?' 2 2 'Restart now?'
show retry 143_retry 'Corvane Tarnwick' 'Cannot copy a.dll' 1002 2 'Cannot copy a.dll'
show retry-cancel 143_cancel_only 'Corvane Tarnwick' 'Disk is full' 2 3 'Disk is full'
show message 155_message 'Tarnwick' 'Disk too small' 1 1 'Disk too small'

# The please-wait notice has no caption and no button: photograph it while it is up.
e2e_wine_bg "$gallery" 'C:\language.lan' wait
for _ in $(seq 40); do
  e2e_driver list | grep -q '#32770' && break
  sleep 0.1
done
e2e_shot dialog_156_wait >/dev/null
e2e_wait_exit "$E2E_BG_PID" 20 || true
