#!/bin/bash
# A skinned page drawn by the real Win32 side with a widget of every kind: the children in creation
# order, keys routed to the page model first, the tree's selection and feature menu, the check box's
# mark changed only by the page, the close box told to the model, and screenshots of all of it.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

e2e_begin page_window
gallery=$E2E_WIN64_DIR/page_gallery.exe
e2e_assert_file "$gallery" "page gallery"
title='Tarnwick page gallery'
out=$E2E_DIR/events.txt

# wait_line PATTERN: waits until the gallery has printed a line matching PATTERN.
wait_line() {
  e2e_wait_for 10 grep -qsx -- "$1" "$out" ||
    e2e_fail "no line \"$1\" from the gallery; it printed:"$'\n'"$(cat "$out")"
}

# box_whites SHOT: the white pixels of the check box's square (a mark covers some of them).
box_whites() {
  local l t r b
  read -r l t r b <<<"$(e2e_rect "$title" 3006)"
  e2e_colour_count "$1" "$l" "$t" 15 $((b - t)) 255,255,255
}

# mark_area SHOT: the check box's square and caption, cut from a screenshot (the page sits at 100,100).
mark_area() {
  convert "$1" -crop 200x40+100+170 +repage "$E2E_DIR/$(basename "$1" .png)_mark.png"
  echo "$E2E_DIR/$(basename "$1" .png)_mark.png"
}

e2e_wine_bg "$gallery" "$(e2e_winpath "$E2E_DIR")" >"$out"
e2e_driver wait --title "$title" --timeout 20000 >/dev/null || e2e_fail "no page; windows: $(e2e_driver list)"
wait_line 'background=240x180'
wait_line 'combo=Deutsch field=[0-9]*'

# Children stack in creation order: the dialog manager's tab order is what the driver lists.
classes=$(e2e_driver texts --title "$title" | tail -n +2 | cut -f1,2 | tr '\t\n' ' ,')
e2e_assert_eq '3000 Static,3001 Static,3002 Static,3003 Static,3004 Static,3005 Static,3006 Button,3007 Button,3008 Button,3009 Button,3010 SysTreeView32,3011 msctls_progress32,3012 ComboBox,3013 Edit,3014 RICHEDIT,' \
  "$classes" "children"

# Esc and Enter stop at the model (Enter presses no default button); a letter goes on to the edit box.
wait_line 'edit=aEdit text'
grep -qx 'key vk=27 used' "$out" || e2e_fail "Esc did not reach the model first"
grep -qx 'key vk=13 used' "$out" || e2e_fail "Enter did not reach the model first"
grep -q '^command id=3007' "$out" && e2e_fail "Enter pressed the default button"
# A selection set in code is no event; one made with the keyboard is, and its menu answers.
wait_line 'tree id=3010 item=1'
wait_line 'menu=32773'
grep -q '^tree id=3010 item=0' "$out" && e2e_fail "a selection set in code was reported"
e2e_shot page_window >/dev/null
unchecked=$(mark_area "$E2E_ROOT/shots/page_window.png")

# What the painters drew, sampled where the controls lie on the screen.
shot=$E2E_ROOT/shots/page_window.png
read -r l t r b <<<"$(e2e_rect "$title" 3001)"
e2e_assert_eq 255,240,150 "$(e2e_pixel "$shot" $((l + 2)) $((t + 2)))" "the filled label's fill"
read -r l t r b <<<"$(e2e_rect "$title" 3000)"
(($(e2e_colour_count "$shot" "$l" "$t" $((r - l)) $((b - t)) 255,255,255) > 20)) ||
  e2e_fail "the label's white text is not on the picture"
read -r l t r b <<<"$(e2e_rect "$title" 3003)"
e2e_assert_eq 255,0,0 "$(e2e_pixel "$shot" $((l + 1)) $((t + 1)))" "the ring's see-through corner (its fill)"
e2e_assert_eq 32,32,128 "$(e2e_pixel "$shot" $((l + 16)) $((t + 2)))" "the ring itself"
read -r l t r b <<<"$(e2e_rect "$title" 3011)"
highlight=$(sed -n 's/^highlight=//p' "$out" | tr -d '\r')
width=$((r - l))
(($(e2e_colour_count "$shot" "$l" "$t" $((width * 38 / 100)) $((b - t)) "$highlight") > 0)) ||
  e2e_fail "the progress bar's first 40% is not filled with $highlight"
(($(e2e_colour_count "$shot" $((l + width * 45 / 100)) "$t" $((width * 55 / 100)) $((b - t)) "$highlight") == 0)) ||
  e2e_fail "the progress bar is filled past its 40%"
whites_unchecked=$(box_whites "$shot")

e2e_driver click --title "$title" --id 3006 >/dev/null || e2e_fail "no check box"
wait_line 'checked=1'
grep -qx 'command id=3006 code=0' "$out" || e2e_fail "the click was not reported as command 0"
# marked: a new screenshot shows a mark in the box's square (the report comes before the paint).
marked() {
  e2e_shot page_window_checked >/dev/null
  (($(box_whites "$E2E_ROOT/shots/page_window_checked.png") + 5 <= whites_unchecked))
}
e2e_wait_for 5 marked || e2e_fail "no mark in the checked box's square"
checked=$(mark_area "$E2E_ROOT/shots/page_window_checked.png")
e2e_driver click --title "$title" --id 3006 >/dev/null || e2e_fail "no check box"
wait_line 'checked=0'
# unmarked: a new screenshot's mark area is the first picture's again, focus aside.
unmarked() {
  e2e_shot page_window_unchecked >/dev/null
  again=$(mark_area "$E2E_ROOT/shots/page_window_unchecked.png")
  [[ $(compare -metric AE -fuzz 1% "$unchecked" "$again" null: 2>&1 || true) -lt 200 ]]
}
e2e_wait_for 5 unmarked || true  # the checks below say what is wrong
[[ $(compare -metric AE "$checked" "$again" null: 2>&1 || true) != 0 ]] || e2e_fail "the mark did not change on screen"
# Focus may have moved to the check box, so only the mark is compared with the first picture.
[[ $(compare -metric AE -fuzz 1% "$unchecked" "$again" null: 2>&1 || true) -lt 200 ]] ||
  e2e_fail "the mark did not go away again"

# The close box is the model's: the gallery ends the page and the loop when told of it.
e2e_wine taskkill /IM page_gallery.exe >/dev/null 2>&1 || true
rc=0
e2e_wait_exit "$E2E_BG_PID" 20 || rc=$?
e2e_assert_eq 0 "$rc" "gallery exit code"
wait_line 'close'
wait_line 'open=0'
