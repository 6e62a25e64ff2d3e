#!/bin/bash
# setup.exe as an administrator's script runs it: /S installs the interactive sample with no window
# into the /D= folder and writes the /LOG= file; a refused requirement and a bad command line end
# with their exit codes, with no window either; the OS rows tell Windows 7 (what Wine reports) from
# XP. Then a dark-skinned check box under an active visual-styles theme keeps its white text.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wizard_walk.sh"

e2e_begin command_line
CODE='{5B7C2E1A-9D34-4F0B-8C61-2A9E7D3F4B10}'  # the sample's
pids=()

# allow_only PROJECT KEY: the project's OS rows replaced by KEY=Yes alone.
allow_only() {
  sed -i '/^os[0-9]*=/d' "$1/setup.inf"
  sed -i "s/^\\[SYSTEM\\]\\r\$/[SYSTEM]\\r\\n$2=Yes\\r/" "$1/setup.inf"
  grep -q "^$2=Yes" "$1/setup.inf" || e2e_fail "could not set $2 in $1/setup.inf"
}

# silent_run PACKED ARGS...: runs setup.exe with ARGS from its folder and fails the test when any
# window shows while it runs; the exit code (low 8 bits, as Wine passes it on) lands in RC.
silent_run() {
  local packed=$1 windows
  shift
  cd "$packed"
  e2e_wine_bg "$packed/setup.exe" "$@"
  cd - >/dev/null
  while _e2e_alive "$E2E_BG_PID"; do
    windows=$(e2e_driver list | tr -d '\r' | cut -f2- | grep -v -e '^Shell_TrayWnd' -e '^Progman' || true)
    [[ -z $windows ]] || e2e_fail "a window showed during setup.exe $*: $windows"
  done
  RC=0
  e2e_wait_exit "$E2E_BG_PID" 60 || RC=$?
}

# log_has FILE PATTERN
log_has() {
  grep -q -E "$2" "$1" || e2e_fail "no line matching /$2/ in $1:"$'\n'"$(cat "$1" 2>/dev/null)"
}

# 1. The sample, allowing Windows 7 only, installed silently into a folder with a blank.
wizard_copy "$E2E_DIR/sample"
allow_only "$E2E_DIR/sample" os8
e2e_pack "$E2E_DIR/sample" "$E2E_DIR/packed" >/dev/null
silent_run "$E2E_DIR/packed" /S '/D=C:\Other' 'Place\' '/LOG=C:\t.log'
e2e_assert_eq 0 "$RC" "silent install exit code"
for file in notes.exe readme.txt notes_core.dll Help/guide.txt; do
  e2e_assert_file "$E2E_DRIVE_C/Other Place/$file" "installed $file"
done
elsewhere=$(find "$E2E_DRIVE_C" -name notes.exe -not -path '*/Other Place/*')
[[ -z $elsewhere ]] || e2e_fail "installed outside the /D= folder too: $elsewhere"
log=$E2E_DRIVE_C/t.log
e2e_assert_file "$log" "the /LOG= file"
log_has "$log" '^app command-line silent=yes installdir="C:\\Other Place\\" log="C:\\t\.log"$'
log_has "$log" '^requirements check name=os required=256 actual=6\.1\.7601 result=pass$'
log_has "$log" '^startup os tag=WIN7$'
log_has "$log" '^app exit code=0$'
if grep -q 'shown=yes' "$log"; then e2e_fail "a page was shown: $(grep 'shown=yes' "$log")"; fi
e2e_assert_no_file "$E2E_DIR/trace.log" "a trace where TARNWICK_LOG points, with /LOG= given"

# 1b. One setup of a product at a time. While an interactive one waits at its first page, a silent
# one ends at once with 1618 and no window; two silent ones started together leave the log one run
# writes alone (the one that found the other running, 1618, wrote nothing).
silent_run "$E2E_DIR/packed" /S
e2e_assert_eq 0 "$RC" "a second silent install alone"
cp "$E2E_DRIVE_C/windows/Installer/$CODE/uninstall.log" "$E2E_DIR/solo.log"
cd "$E2E_DIR/packed"
e2e_wine_bg "$E2E_DIR/packed/setup.exe"
first=$E2E_BG_PID
cd - >/dev/null
e2e_driver wait --title "Corvane Tarnwick" --class TarnwickDecoration --timeout 30000 >/dev/null ||
  e2e_fail "the first setup did not start: $(e2e_driver list)"
# (The first one's windows are up, so the second is judged by its log: it never got to a window.)
RC=0
(cd "$E2E_DIR/packed" && e2e_wine "$E2E_DIR/packed/setup.exe" /S '/LOG=C:\busy.log') || RC=$?
e2e_assert_eq $((1618 & 255)) "$RC" "a second setup of the product (1618)"
log_has "$E2E_DRIVE_C/busy.log" '^startup product-lock .*result=busy$'
log_has "$E2E_DRIVE_C/busy.log" '^app exit code=1618$'
if grep -q 'shown=yes' "$E2E_DRIVE_C/busy.log"; then e2e_fail "the second setup showed a page"; fi
kill "$first" 2>/dev/null || true
e2e_wait_exit "$first" 30 || true
codes=()
for run in a b; do
  (cd "$E2E_DIR/packed" && e2e_wine "$E2E_DIR/packed/setup.exe" /S "/LOG=C:\\$run.log") &
  pids+=($!)
done
for pid in "${pids[@]}"; do
  rc=0
  wait "$pid" || rc=$?
  codes+=("$rc")
done
[[ "${codes[*]}" =~ ^(0 0|0 $((1618 & 255))|$((1618 & 255)) 0)$ ]] || e2e_fail "two silent runs ended with ${codes[*]}"
# The same entries as the lone run's (a reinstall may log a folder it found made in another place).
sort "$E2E_DIR/solo.log" >"$E2E_DIR/solo.sorted"
sort "$E2E_DRIVE_C/windows/Installer/$CODE/uninstall.log" >"$E2E_DIR/both.sorted"
cmp -s "$E2E_DIR/solo.sorted" "$E2E_DIR/both.sorted" ||
  e2e_fail "two runs at once wrote another log: $(diff "$E2E_DIR/solo.sorted" "$E2E_DIR/both.sorted")"

# 2. The same sample allowing Windows XP only: refused, with no window and the failure code.
rm -rf "$E2E_DIR/sample" "$E2E_DIR/packed"
wizard_copy "$E2E_DIR/sample"
allow_only "$E2E_DIR/sample" os5
e2e_pack "$E2E_DIR/sample" "$E2E_DIR/packed" >/dev/null
silent_run "$E2E_DIR/packed" /S '/LOG=C:\refused.log'
e2e_assert_eq $((1603 & 255)) "$RC" "exit code of a refused requirement (1603)"
log=$E2E_DRIVE_C/refused.log
log_has "$log" '^requirements check name=os required=32 actual=6\.1\.7601 result=fail$'
log_has "$log" '^dialog error .*unattended=yes$'
log_has "$log" '^app exit code=1603$'

# 3. A switch setup.exe does not know: refused before anything happens, silently with /S wherever
# it stands on the line.
silent_run "$E2E_DIR/packed" /quiet /S '/LOG=C:\bad.log'
e2e_assert_eq $((1639 & 255)) "$RC" "exit code of a bad command line (1639)"
log_has "$E2E_DRIVE_C/bad.log" '^app command-line reason="Unknown switch: /quiet"$'

# 4. A dark skin under Wine's own visual-styles theme ("Light"): the check box keeps the skin's white
# text, and the group box shows the classic etched frame (its white highlight line) instead of the
# theme's rounded grey one, so visual styles really are off for these controls. Under Wine a themed
# check box would still honour the text colour; on Windows it would not, hence both checks.
theme_key='HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager'
for value in 'ThemeActive=1' 'DllName=C:\windows\resources\themes\light\light.msstyles' 'ColorName=Blue' \
  'SizeName=NormalSize'; do
  e2e_wine reg add "$theme_key" /v "${value%%=*}" /d "${value#*=}" /f >/dev/null 2>&1 || e2e_fail "cannot set $value"
done
shot=$E2E_DIR/dark.png
e2e_wine "$E2E_WIN64_DIR/page_preview.exe" "$(e2e_winpath "$E2E_LIB_DIR/projects/dark")" dark.lcd \
  --shot "$(e2e_winpath "$shot")" >/dev/null || e2e_fail "page_preview could not photograph the dark page"
mkdir -p "$E2E_ROOT/shots"
cp "$shot" "$E2E_ROOT/shots/dark_checkbox.png"
# The window as captured: a title bar of 18 rows, then the layout's coordinates plus a 2-pixel frame.
text_white=$(convert "$shot" -crop 230x30+44+52 +repage -colorspace gray -threshold 75% -format '%[fx:mean]' info:)
frame_white=$(convert "$shot" -crop 300x16+0+30 +repage -fill black +opaque white -format '%[fx:mean*w*h]' info:)
echo "dark page: white share of the check box text $text_white, white pixels of the group box's top $frame_white"
python3 -c "import sys; sys.exit(0 if float('$text_white') > 0.08 else 1)" ||
  e2e_fail "the check box's text is not white on the dark skin (white share $text_white); see $shot"
python3 -c "import sys; sys.exit(0 if float('$frame_white') > 150 else 1)" ||
  e2e_fail "the group box is drawn with visual styles (no etched frame: $frame_white white pixels); see $shot"
