#!/bin/bash
# The fixed dialogs drawn by the real Win32 side from setup.exe's own resources, all from one run of
# the gallery: texts, labels, visible buttons, what each button and Esc make the dialog return, and
# a screenshot of every one of them.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

e2e_begin dialogs
gallery=$E2E_WIN64_DIR/dialog_gallery.exe
e2e_assert_file "$gallery" "dialog gallery"
printf '[CancelSetup]\r\n0=Cancel the [ProductName] installation?\r\n1=No\r\n2=Yes\r\n[SetupError]\r\n3=Close\r\n' \
  >"$E2E_DRIVE_C/language.lan"
out=$E2E_DIR/answers.txt

# Each case: KIND[=TEXT] TITLE EXPECTED_TEXT BUTTON (a control id, or esc) EXPECTED_RESULT [SHOT].
# The first case of a kind also checks the text and takes the screenshot; the others only answer
# (the click waits for the next dialog, which comes once the last answer is in).
cases=(
  "confirm|Corvane Tarnwick|Cancel the Tarnwick Notes installation?|1|1|142_confirm"
  "confirm|Corvane Tarnwick|Cancel the Tarnwick Notes installation?|2|2|142_confirm_declined"
  "confirm|Corvane Tarnwick|Cancel the Tarnwick Notes installation?|esc|2"
  "error=<ProductName> needs more memory.|Corvane Tarnwick|Tarnwick Notes needs more memory.|2|2|142_error"
  "error=<ProductName> needs more memory.|Corvane Tarnwick|Tarnwick Notes needs more memory.|esc|2"
  "question=Restart now?|Corvane Tarnwick|Restart now?|1|1|142_question"
  "question=Restart now?|Corvane Tarnwick|Restart now?|2|2"
  "question=Restart now?|Corvane Tarnwick|Restart now?|esc|2"
  "retry=Cannot copy a.dll|Corvane Tarnwick|Cannot copy a.dll|1001|1|143_retry"
  "retry=Cannot copy a.dll|Corvane Tarnwick|Cannot copy a.dll|1002|2"
  "retry=Cannot copy a.dll|Corvane Tarnwick|Cannot copy a.dll|2|3"
  "retry=Cannot copy a.dll|Corvane Tarnwick|Cannot copy a.dll|esc|3"
  "retry-cancel=Disk is full|Corvane Tarnwick|Disk is full|2|3|143_cancel_only"
  "retry-cancel=Disk is full|Corvane Tarnwick|Disk is full|esc|3"
  "message=Disk too small|Tarnwick|Disk too small|1|1|155_message"
  "message=Disk too small|Tarnwick|Disk too small|esc|1"
)
kinds=()
for entry in "${cases[@]}"; do kinds+=("${entry%%|*}"); done
kinds+=(wait)

# answers_after N: waits until the gallery has printed N answers, then prints the last one.
answers_after() {
  answers_reach() { (($(grep -c '^answer=' "$out" 2>/dev/null || true) >= $1)); }
  e2e_wait_for 10 answers_reach "$1" || e2e_fail "no answer $1 from the gallery; it printed:"$'\n'"$(cat "$out")"
  grep '^answer=' "$out" | sed -n "${1}p" | tr -d '\r'
}

e2e_wine_bg "$gallery" 'C:\language.lan' "${kinds[@]}" >"$out"
n=0
for entry in "${cases[@]}"; do
  IFS='|' read -r kind title expected button result shot <<<"$entry"
  n=$((n + 1))
  if [[ -n $shot ]]; then
    e2e_driver wait --title "$title" --class '#32770' --timeout 20000 >/dev/null ||
      e2e_fail "$kind: no dialog; windows: $(e2e_driver list)"
    e2e_assert_eq "$expected" "$(e2e_control_text "$title" 1000 '#32770')" "$kind: text"
    e2e_shot "dialog_$shot" >/dev/null
  fi
  if [[ $button == esc ]]; then
    e2e_driver key --title "$title" --class '#32770' --vk 27 >/dev/null || e2e_fail "$kind: cannot type Esc"
  else
    e2e_driver click --title "$title" --class '#32770' --id "$button" >/dev/null || e2e_fail "$kind: no button $button"
  fi
  e2e_assert_eq "answer=$result" "$(answers_after "$n")" "$kind: what button $button returns"
done

# The please-wait notice has no caption and no button: photograph it while it is up.
notice_up() { e2e_driver list | grep -q '#32770'; }
e2e_wait_for 4 notice_up || e2e_fail "no please-wait notice; windows: $(e2e_driver list)"
e2e_shot dialog_156_wait >/dev/null
rc=0
e2e_wait_exit "$E2E_BG_PID" 20 || rc=$?
e2e_assert_eq 0 "$rc" "gallery exit code"
