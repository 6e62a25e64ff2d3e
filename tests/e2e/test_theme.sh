#!/bin/bash
# The gallery theme, a control of every kind, through the page preview: the real page under Wine with
# its controls, check-box clicks, Esc and the cancel confirmation, the close box; then tarnwick-page's
# dump of the same page and its screenshot made under a Wine of its own.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

e2e_begin theme
preview=$E2E_WIN64_DIR/page_preview.exe
tool=$E2E_HOST_DIR/tarnwick-page
e2e_assert_file "$preview" "page preview"
e2e_assert_file "$tool" "tarnwick-page"
title='Sample Product Theme Gallery'
out=$E2E_DIR/events.txt

# The language file lies beside the theme, as in a packed project.
project=$E2E_DIR/project
mkdir -p "$project"
cp -r "$E2E_LIB_DIR/projects/theme" "$project/theme"
printf '[CancelSetup]\r\n0=Stop the [ProductName] preview?\r\n1=Keep going\r\n2=Stop\r\n' >"$project/language.lan"

# wait_line PATTERN: waits until the preview has printed a line matching PATTERN.
wait_line() {
  e2e_wait_for 10 grep -qsx -- "$1" "$out" ||
    e2e_fail "no line \"$1\" from the preview; it printed:"$'\n'"$(cat "$out")"
}

e2e_wine_bg "$preview" "$(e2e_winpath "$project/theme")" gallery.lcd >"$out"
e2e_driver wait --title "$title" --timeout 20000 >/dev/null || e2e_fail "no page; windows: $(e2e_driver list)"
wait_line "shown caption=\"$title\""
shot=$E2E_ROOT/shots/theme_page.png
# painted: a new screenshot shows the filled label's fill and the ring, so the page has been painted.
painted() {
  local l t r b
  e2e_shot theme_page >/dev/null
  read -r l t r b <<<"$(e2e_rect "$title" 3021)"
  [[ $(e2e_pixel "$shot" $((l + 2)) $((t + 2))) == 255,240,150 ]] || return 1
  read -r l t r b <<<"$(e2e_rect "$title" 3019)"
  [[ $(e2e_pixel "$shot" $((l + 20)) $((t + 2))) == 32,48,144 ]]
}
e2e_wait_for 10 painted || true  # the checks below say what is missing

# What the painters drew, sampled where the controls lie on the screen: the filled label's fill and
# its black text, the ring's see-through corner showing its fill colour and the ring itself.
read -r l t r b <<<"$(e2e_rect "$title" 3021)"
e2e_assert_eq 255,240,150 "$(e2e_pixel "$shot" $((l + 2)) $((t + 2)))" "the filled label's fill"
(($(e2e_colour_count "$shot" "$l" "$t" $((r - l)) $((b - t)) 0,0,0) > 10)) || e2e_fail "the label's black text is not drawn"
read -r l t r b <<<"$(e2e_rect "$title" 3019)"
e2e_assert_eq 255,0,0 "$(e2e_pixel "$shot" $((l + 1)) $((t + 1)))" "the ring's see-through corner (its fill)"
e2e_assert_eq 32,48,144 "$(e2e_pixel "$shot" $((l + 20)) $((t + 2)))" "the ring itself"
# box_whites SHOT: the white pixels of the check box's square (a mark covers some of them).
box_whites() {
  local l t r b
  read -r l t r b <<<"$(e2e_rect "$title" 3009)"
  e2e_colour_count "$1" "$l" "$t" 15 $((b - t)) 255,255,255
}
whites_unchecked=$(box_whites "$shot")

# Every line of the layout made its control: 23 of them, the last line first, each of its kind's class.
classes=$(e2e_driver texts --title "$title" | tail -n +2 | cut -f1,2 | tr '\t\n' ' ,')
e2e_assert_eq '3000 Button,3001 Button,3002 Button,3003 RICHEDIT,3004 msctls_progress32,3005 ComboBox,3006 Edit,3007 SysTreeView32,3008 Static,3009 Button,3010 Button,3011 Button,3012 Button,3013 Static,3014 Static,3015 Static,3016 Static,3017 Static,3018 Static,3019 Static,3020 Static,3021 Static,3022 Static,' \
  "$classes" "controls"
e2e_assert_eq 'Welcome to Sample Product' "$(e2e_control_text "$title" 3022)" "expanded title label"
e2e_assert_eq '&Next >' "$(e2e_control_text "$title" 3001)" "next button"
e2e_assert_eq 'Create a desktop shortcut' "$(e2e_control_text "$title" 3009)" "check box"

# The page model, not the control, owns the mark: each click flips it and is reported with it.
e2e_driver click --title "$title" --id 3009 >/dev/null || e2e_fail "no check box"
wait_line 'report name=IDC_SHORTCUT id=3009 action=-1 checked=1'
# marked: a new screenshot shows a mark in the box's square (the report comes before the paint).
marked() {
  e2e_shot theme_page_checked >/dev/null
  (($(box_whites "$E2E_ROOT/shots/theme_page_checked.png") + 5 <= whites_unchecked))
}
e2e_wait_for 5 marked || e2e_fail "no mark in the checked box's square"
e2e_driver click --title "$title" --id 3009 >/dev/null || e2e_fail "no check box"
wait_line 'report name=IDC_SHORTCUT id=3009 action=-1 checked=0'

# Esc asks, in the language beside the theme; declining keeps the page.
e2e_driver key --title "$title" --vk 27 >/dev/null || e2e_fail "cannot type Esc"
e2e_driver wait --title 'Corvane Tarnwick' >/dev/null || e2e_fail "no cancel confirmation; windows: $(e2e_driver list)"
e2e_assert_eq 'Stop the Sample Product preview?' "$(e2e_control_text 'Corvane Tarnwick' 1000)" "confirmation"
e2e_shot theme_confirm >/dev/null
e2e_driver click --title 'Corvane Tarnwick' --id 2 >/dev/null || e2e_fail "no button 2"
wait_line 'event confirm-cancel answer=no'
e2e_driver gone --title 'Corvane Tarnwick' >/dev/null || e2e_fail "the confirmation stayed"
e2e_driver wait --title "$title" --timeout 2000 >/dev/null || e2e_fail "declining ended the page"

# The close box asks again; confirming ends the page, removes nothing and ends the preview.
e2e_wine taskkill /IM page_preview.exe >/dev/null 2>&1 || true
e2e_driver click --title 'Corvane Tarnwick' --id 1 >/dev/null || e2e_fail "no confirmation for the close box"
rc=0
e2e_wait_exit "$E2E_BG_PID" 20 || rc=$?
e2e_assert_eq 0 "$rc" "preview exit code"
e2e_assert_eq 'event confirm-cancel answer=yes
event remove-work-folder done=no
report name=IDC_NEXT id=0 action=0
ended' "$(tail -n 4 "$out")" "end of the preview"

# The model dump on the fake platform shows the same page.
dump=$("$tool" "$E2E_LIB_DIR/projects/theme" gallery.lcd) || e2e_fail "tarnwick-page dump failed"
for line in \
  'window caption="Sample Product Theme Gallery" size=520x400 placement=0 border=1 minimize=yes maximize=no close=yes' \
  'control 3 name=IDB_BITMAP1 kind=BITMAP id=3019 kind-index=0 rect=350,10,390,50 text="" enabled=yes visible=yes font=page picture="C:\theme\ring.gif" fill=255,0,0' \
  'control 13 name=IDC_SHORTCUT kind=CHECKBOX id=3009 kind-index=0 rect=26,216,236,236 text="Create a desktop shortcut" enabled=yes visible=yes checked=no text-colour=0,0,0 back-colour=220,230,255 font=page' \
  'control 21 name=IDC_NEXT kind=BUTTON id=3001 kind-index=1 rect=368,328,434,352 text="&Next >" enabled=yes visible=yes default=yes font=Tahoma,8,bold'; do
  grep -qxF -- "$line" <<<"$dump" || e2e_fail "the dump lacks: $line"$'\n'"$dump"
done
e2e_assert_eq 23 "$(grep -c '^control ' <<<"$dump")" "controls in the dump"

# The screenshot under a Wine of the tool's own, from a copy of the suite's prepared prefix (held
# with the suite's shared lock, so it is not rebuilt under the copy).
png=$E2E_ROOT/shots/theme_preview.png
rm -f "$png"
rendered=$(TARNWICK_WINE_PREFIX=$E2E_ROOT/base-prefix flock -s "$E2E_ROOT/base-prefix.lock" \
  "$tool" "$E2E_LIB_DIR/projects/theme" gallery.lcd --png "$png" --win64 "$E2E_WIN64_DIR") ||
  e2e_fail "tarnwick-page --png failed: $rendered"
e2e_assert_file "$png" "page picture"
size=$(sed -n 's/^shot .* size=\([0-9]*x[0-9]*\)$/\1/p' <<<"$rendered")
e2e_assert_eq "$size" "$(identify -format '%wx%h' "$png")" "picture size"
# The page is 520 wide; its height loses what a caption lower than 25 pixels saves.
[[ $size =~ ^520x(37[5-9]|3[89][0-9]|400)$ ]] || e2e_fail "the picture is $size, not the page's size"
