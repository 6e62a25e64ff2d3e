# End-to-end harness, sourced by tests/e2e/test_*.sh and demo.sh: a prepared Wine prefix copied fresh
# for each test, a private Xvfb display, the UI driver, screenshots, packing and assertions.
# shellcheck shell=bash
#
# In:  E2E_WIN64_DIR (setup.exe, contract_tests.exe, uidriver.exe), E2E_WIN32_DIR, E2E_HOST_DIR
#      (tarnwick-pack, tarnwick-ziv; the suite keeps its prefixes, scratch and shots in its e2e/).
# A test:
#   set -euo pipefail; source "$(dirname "$0")/lib.sh"
#   e2e_begin NAME            # fresh prefix + Xvfb; exports WINEPREFIX, DISPLAY, E2E_DIR, E2E_DRIVE_C,
#                             # E2E_TEMP, TARNWICK_LOG; cleans up on exit however the test ends
#   rc=0; (cd "$folder" && e2e_wine "$folder/setup.exe") || rc=$?   # the shell's directory is its own
#   e2e_wine_bg EXE; e2e_driver wait --title Setup; e2e_driver click --title Setup --id 1
#   rc=0; e2e_wait_exit "$E2E_BG_PID" 30 || rc=$?
# E2E_COPY_SYSTEM32=1 before e2e_begin copies system32 and syswow64 instead of hard-linking them, for
# a test that overwrites a file there (a write through a hard link would change the shared base prefix).
# E2E_SETUP_BUILD=win32 runs the shipped PE32 setup.exe instead of its win64 twin (E2E_SETUP_DIR
# names the chosen build folder, E2E_REG_VIEW the `reg` option for its registry view); the other
# Windows-side programs stay win64, in the same prefix.

E2E_LIB_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
E2E_WINELOADER=${E2E_WINELOADER:-/usr/lib/wine/wine64}
E2E_WINESERVER=${E2E_WINESERVER:-/usr/lib/wine/wineserver64}
# wine64 starts this 32-bit loader itself for a PE32 program. Where the kernel cannot run 32-bit
# programs, QEMU's user-mode emulator does (tests/e2e/pe32_setup.sh registers it): then the
# loader's processes show the emulator as their executable.
E2E_WINELOADER32=${E2E_WINELOADER32:-/usr/lib/wine/wine}
E2E_SETUP_BUILD=${E2E_SETUP_BUILD:-win64}
E2E_SCREEN=${E2E_SCREEN:-1024x768x24}
# Bump when the way the base prefix is prepared changes, so old bases are rebuilt.
E2E_BASE_FORMAT=5

# --- messages and assertions ----------------------------------------------------------------------

e2e_log() { printf 'e2e [%s] %s\n' "${E2E_NAME:-setup}" "$*" >&2; }

# Ends the test as failed; the EXIT trap still cleans up.
e2e_fail() {
  printf 'FAIL [%s]: %s\n' "${E2E_NAME:-e2e}" "$*" >&2
  exit 1
}

# Ends the test as skipped (ctest's SKIP_RETURN_CODE).
e2e_skip() {
  printf 'SKIP [%s]: %s\n' "${E2E_NAME:-e2e}" "$*" >&2
  exit 77
}

e2e_assert_file() {
  [[ -f $1 ]] || e2e_fail "${2:-expected file} missing: $1"
}

e2e_assert_no_file() {
  [[ ! -e $1 && ! -L $1 ]] || e2e_fail "${2:-unexpected entry} exists: $1"
}

# e2e_assert_eq EXPECTED ACTUAL [WHAT]; both values are shown quoted so invisible bytes stand out.
e2e_assert_eq() {
  [[ $1 == "$2" ]] && return 0
  e2e_fail "${3:-value} differs
  expected: $(printf '%q' "$1")
  actual:   $(printf '%q' "$2")"
}

# --- small process helpers ------------------------------------------------------------------------

# True while pid runs and is not a zombie (nothing reaps orphans on some machines).
_e2e_alive() {
  local stat
  { read -r stat <"/proc/$1/stat"; } 2>/dev/null || return 1
  stat=${stat##*) }
  [[ ${stat%% *} != Z ]]
}

# Ends one process we started, by id: TERM, then KILL when it lingers; reaps it when it is our child.
_e2e_stop_pid() {
  local pid=$1 i
  [[ -n $pid ]] || return 0
  kill -TERM "$pid" 2>/dev/null || true
  for ((i = 0; i < 100; i++)); do
    _e2e_alive "$pid" || break
    sleep 0.05
  done
  if _e2e_alive "$pid"; then kill -KILL "$pid" 2>/dev/null || true; fi
  wait "$pid" 2>/dev/null || true
}

# Wine processes (wineserver included) running on prefix: their executable is Wine's and their
# environment names the prefix. Our own shells carry WINEPREFIX too, hence the executable check.
_e2e_prefix_pids() {
  local prefix=$1 file pid exe
  for file in $(grep -lzxF "WINEPREFIX=$prefix" /proc/[0-9]*/environ 2>/dev/null); do
    pid=${file#/proc/}
    pid=${pid%/environ}
    exe=$(readlink "/proc/$pid/exe" 2>/dev/null) || continue
    if [[ $exe == /usr/lib/wine/* || $exe == "$E2E_WINELOADER"* || $exe == "$E2E_WINESERVER" || $exe == */qemu-i386 ]]; then
      echo "$pid"
    fi
  done
  return 0
}

# Wine keeps the server's socket in <tmp>/<name>/server-<dev>-<inode>, where <name> is read from
# the prefix's "wineserver" file. Each prefix gets its own folder, made before any Wine process
# starts: two first processes in a prefix without one race to make it, and the loser gives up.
_e2e_server_tmp() {
  local prefix=$1 name
  [[ -f $prefix/wineserver ]] || return 1
  name=$(head -c 64 "$prefix/wineserver")
  [[ $name =~ ^wine-[A-Za-z0-9]{6}$ ]] || return 1
  echo "${TMPDIR:-/tmp}/$name"
}

_e2e_make_server_tmp() {
  local prefix=$1 dir
  rm -f "$prefix/wineserver"
  dir=$(mktemp -d "${TMPDIR:-/tmp}/wine-XXXXXX") || return 1
  printf '%s' "${dir##*/}" >"$prefix/wineserver"
  chmod 0400 "$prefix/wineserver"
}

# Ends every Wine process of prefix and waits for them. SIGINT is what wineserver -k sends: the
# server takes its processes down with it. Sent directly, we can poll more finely than -k does.
# Anything still running after a few seconds is killed by id.
_e2e_kill_prefix() {
  local prefix=$1 pids pid i
  [[ -d $prefix ]] || return 0
  pids=$(_e2e_prefix_pids "$prefix")
  [[ -z $pids ]] && return 0
  for pid in $pids; do
    if [[ $(readlink "/proc/$pid/exe" 2>/dev/null) == "$E2E_WINESERVER" ]]; then kill -INT "$pid" 2>/dev/null || true; fi
  done
  for ((i = 0; i < 250; i++)); do
    pids=$(_e2e_prefix_pids "$prefix")
    [[ -z $pids ]] && return 0
    # A process that has not reached the server yet survives the first round.
    if ((i == 100)); then WINEPREFIX=$prefix "$E2E_WINESERVER" -k >/dev/null 2>&1 || true; fi
    sleep 0.02
  done
  e2e_log "killing Wine processes that outlived their wineserver: $pids"
  # shellcheck disable=SC2086
  kill -KILL $pids 2>/dev/null || true
}

_e2e_remove_prefix() {
  local prefix=$1 server_tmp
  [[ -d $prefix ]] || return 0
  server_tmp=$(_e2e_server_tmp "$prefix") && rm -rf "$server_tmp"
  rm -rf "$prefix"
}

# Starts Xvfb on a free display (it picks one and writes its number to fd 3). Sets _E2E_XVFB_PID
# and _E2E_XVFB_DISPLAY in the calling shell, so it must not run in a subshell.
_e2e_start_xvfb() {
  local file=$1 i
  rm -f "$file"
  Xvfb -displayfd 3 -screen 0 "$E2E_SCREEN" -nolisten tcp -noreset 3>"$file" </dev/null >"$file.log" 2>&1 &
  _E2E_XVFB_PID=$!
  for ((i = 0; i < 200; i++)); do
    if grep -qx '[0-9][0-9]*' "$file" 2>/dev/null; then
      _E2E_XVFB_DISPLAY=:$(head -n 1 "$file")
      return 0
    fi
    _e2e_alive "$_E2E_XVFB_PID" || break
    sleep 0.05
  done
  e2e_log "Xvfb did not start: $(cat "$file.log" 2>/dev/null)"
  _e2e_stop_pid "$_E2E_XVFB_PID"
  _E2E_XVFB_PID=
  return 1
}

# --- the base prefix ------------------------------------------------------------------------------

# Wine wants an absolute WINEPREFIX, and tests change directory: the build folders become absolute.
_e2e_require_host_dir() {
  [[ -n ${E2E_HOST_DIR:-} && -d $E2E_HOST_DIR ]] || e2e_fail "E2E_HOST_DIR must name the host build folder"
  E2E_HOST_DIR=$(cd "$E2E_HOST_DIR" && pwd)
  if [[ -n ${E2E_WIN64_DIR:-} && -d $E2E_WIN64_DIR ]]; then E2E_WIN64_DIR=$(cd "$E2E_WIN64_DIR" && pwd); fi
  if [[ -n ${E2E_WIN32_DIR:-} && -d $E2E_WIN32_DIR ]]; then E2E_WIN32_DIR=$(cd "$E2E_WIN32_DIR" && pwd); fi
  E2E_ROOT=$E2E_HOST_DIR/e2e
  mkdir -p "$E2E_ROOT"
  # E2E_REG_VIEW: `reg` sees the registry as the chosen setup.exe does; a 32-bit program's
  # HKLM\SOFTWARE is the WOW6432Node branch.
  case $E2E_SETUP_BUILD in
    win64) E2E_SETUP_DIR=${E2E_WIN64_DIR:-} E2E_REG_VIEW=/reg:64 ;;
    win32) E2E_SETUP_DIR=${E2E_WIN32_DIR:-} E2E_REG_VIEW=/reg:32 ;;
    *) e2e_fail "E2E_SETUP_BUILD must be win64 or win32, not $E2E_SETUP_BUILD" ;;
  esac
}

# Skips the test when this machine cannot run 32-bit Windows programs (pe32_setup.sh says why when
# `make deps-pe32` runs). A loader that is there and allowed to start, yet fails, is a failure.
_e2e_require_pe32() {
  [[ -f ${E2E_WIN32_DIR:-}/setup.exe ]] || e2e_skip "no win32 build (E2E_WIN32_DIR)"
  [[ -x $E2E_WINELOADER32 ]] || e2e_skip "32-bit Wine is not installed ($E2E_WINELOADER32; make deps-pe32 installs it as root)"
  local out
  out=$("$E2E_WINELOADER32" --version 2>&1) && return 0
  if [[ $out == *"Exec format error"* && ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ]]; then
    e2e_skip "this kernel does not start 32-bit programs and no emulator is registered for them (make deps-pe32 registers one as root where the machine allows)"
  fi
  e2e_fail "the 32-bit Wine loader does not start: $out"
}

# With a working 32-bit loader, wineboot also fills syswow64: a base made before it was installed (or
# while it could not start) is made again.
_e2e_base_stamp() {
  local wine32=none
  if [[ -x $E2E_WINELOADER32 ]]; then wine32=$("$E2E_WINELOADER32" --version 2>/dev/null) || wine32=broken; fi
  printf 'format=%s wine=%s wine32=%s user=%s\n' "$E2E_BASE_FORMAT" "$("$E2E_WINELOADER" --version 2>/dev/null)" \
    "$wine32" "$(id -un)"
}

# Builds a prefix at $1 with wineboot under a temporary Xvfb. Runs in a subshell so its trap can
# clean up an interrupted build without touching the caller's traps.
_e2e_build_base() (
  local tmp=$1 link server_tmp size=${E2E_SCREEN%x*}
  _E2E_XVFB_PID=
  trap '_e2e_kill_prefix "$tmp"; _e2e_stop_pid "$_E2E_XVFB_PID"; _e2e_remove_prefix "$tmp"' EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM HUP
  _e2e_start_xvfb "$E2E_ROOT/base-xvfb.display" || exit 1
  mkdir -p "$tmp" && _e2e_make_server_tmp "$tmp" || exit 1
  e2e_log "preparing the base Wine prefix (once per build)"
  WINEPREFIX=$tmp DISPLAY=$_E2E_XVFB_DISPLAY WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    WINESERVER=$E2E_WINESERVER "$E2E_WINELOADER" wineboot -i >"$E2E_ROOT/base-prefix.log" 2>&1
  # A Wine virtual desktop draws title bars and frames itself; with no window manager on Xvfb,
  # screenshots would otherwise show bare client areas.
  WINEPREFIX=$tmp DISPLAY=$_E2E_XVFB_DISPLAY WINEDEBUG=-all WINESERVER=$E2E_WINESERVER \
    "$E2E_WINELOADER" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >>"$E2E_ROOT/base-prefix.log" 2>&1
  WINEPREFIX=$tmp DISPLAY=$_E2E_XVFB_DISPLAY WINEDEBUG=-all WINESERVER=$E2E_WINESERVER \
    "$E2E_WINELOADER" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$size" /f >>"$E2E_ROOT/base-prefix.log" 2>&1
  WINEPREFIX=$tmp "$E2E_WINESERVER" -w
  [[ -f $tmp/system.reg && -f $tmp/user.reg ]] || { e2e_log "wineboot failed: $(cat "$E2E_ROOT/base-prefix.log")"; exit 1; }
  # The user's Desktop, Documents and similar folders are links to the real home folder; tests
  # must not write there, so they become plain folders inside the prefix.
  while IFS= read -r -d '' link; do
    rm -f "$link" && mkdir -p "$link"
  done < <(find "$tmp/drive_c/users" -type l -print0)
  server_tmp=$(_e2e_server_tmp "$tmp") && rm -rf "$server_tmp"
  rm -f "$tmp/wineserver"
  _e2e_base_stamp >"$tmp/.e2e-stamp"
  _e2e_stop_pid "$_E2E_XVFB_PID"
  trap - EXIT
)

# Prepares $E2E_HOST_DIR/e2e/base-prefix once per build and Wine version. Tests that start at the
# same time wait on the lock for the one that builds it.
e2e_base_prefix() {
  _e2e_require_host_dir
  local base=$E2E_ROOT/base-prefix lock_fd tmp status=0
  exec {lock_fd}>"$E2E_ROOT/base-prefix.lock"
  flock "$lock_fd"
  if [[ ! -f $base/.e2e-stamp || $(cat "$base/.e2e-stamp") != "$(_e2e_base_stamp)" ]]; then
    rm -rf "$E2E_ROOT"/base-prefix.new.*
    tmp=$E2E_ROOT/base-prefix.new.$$
    if _e2e_build_base "$tmp"; then
      rm -rf "$base"
      mv "$tmp" "$base"
    else
      rm -rf "$tmp"
      status=1
    fi
  fi
  exec {lock_fd}>&-
  return $status
}

# A test's prefix: system32 and syswow64 (630 and, with 32-bit Wine, 525 MB, never written by tests)
# are hard-linked; everything else, the registry files above all, is a real copy, so no test can
# change the base.
_e2e_clone_prefix() {
  local base=$1 prefix=$2 dir
  mkdir -p "$prefix"
  (cd "$base" && tar --exclude=./drive_c/windows/system32 --exclude=./drive_c/windows/syswow64 \
    --exclude=./.e2e-stamp -cf - .) | (cd "$prefix" && tar -xpf -) || return 1
  for dir in system32 syswow64; do
    [[ -d $base/drive_c/windows/$dir ]] || continue
    if [[ ${E2E_COPY_SYSTEM32:-0} == 1 ]]; then
      cp -a "$base/drive_c/windows/$dir" "$prefix/drive_c/windows/" || return 1
    else
      cp -al "$base/drive_c/windows/$dir" "$prefix/drive_c/windows/" || return 1
    fi
  done
  _e2e_make_server_tmp "$prefix"
}

# Windows' idea of the user's temporary folder, as a Unix path inside the prefix.
_e2e_find_temp() {
  local prefix=$1 value rel
  value=$(sed -n '/^"TEMP"="/{s/^"TEMP"="\(.*\)"$/\1/p;q}' "$prefix/user.reg")
  if [[ $value =~ ^[Cc]:\\\\ ]]; then
    rel=${value:4}
    rel=${rel//\\\\//}
    echo "$prefix/drive_c/$rel"
    return 0
  fi
  for rel in "users/$(id -un)/Temp" "users/$(id -un)/AppData/Local/Temp"; do
    [[ -d $prefix/drive_c/$rel ]] && { echo "$prefix/drive_c/$rel"; return 0; }
  done
  return 1
}

# Z:\ maps the Unix root in every prefix.
e2e_winpath() {
  local path=$1
  echo "Z:${path//\//\\}"
}

# --- watchdog -------------------------------------------------------------------------------------

# A test killed outright (a ctest timeout sends SIGKILL) runs no trap. This detached watcher outlives
# it and ends that test's Wine processes and Xvfb, by id, when the test died without e2e_end.
_e2e_watchdog() {
  local owner=$1 dir=$2 prefix=$3 xvfb=$4
  echo "$BASHPID" >"$dir/.watchdog"
  while [[ -e $dir/.active ]] && _e2e_alive "$owner"; do sleep 1; done
  [[ -e $dir/.active ]] || exit 0
  _e2e_kill_prefix "$prefix"
  if [[ $(readlink "/proc/$xvfb/exe" 2>/dev/null) == */Xvfb ]]; then kill -TERM "$xvfb" 2>/dev/null; fi
  _e2e_remove_prefix "$prefix"
  rm -f "$dir/.active" "$dir/.watchdog"
}

_e2e_start_watchdog() {
  setsid -f bash -c 'source "$1" && _e2e_watchdog "$2" "$3" "$4" "$5"' e2e-watchdog \
    "$E2E_LIB_DIR/lib.sh" "$$" "$E2E_DIR" "$WINEPREFIX" "$_E2E_XVFB_PID" </dev/null >/dev/null 2>&1
}

# --- a test's life --------------------------------------------------------------------------------

# e2e_begin NAME: a fresh prefix and display for this test; e2e_end runs on exit, however it ends.
e2e_begin() {
  local name=${1:?e2e_begin needs a test name} temp
  E2E_NAME=$name
  _e2e_require_host_dir
  # A win32 case has its own name, scratch folder and screenshots: it runs beside its win64 twin.
  if [[ $E2E_SETUP_BUILD == win32 ]]; then
    name+=_win32
    E2E_NAME=$name
    E2E_SHOT_SUFFIX=-win32
    _e2e_require_pe32
  fi
  e2e_base_prefix || e2e_fail "could not prepare the base Wine prefix (see $E2E_ROOT/base-prefix.log)"

  E2E_DIR=$E2E_ROOT/run/$name
  rm -rf "$E2E_DIR"
  mkdir -p "$E2E_DIR"
  touch "$E2E_DIR/.active"
  trap 'e2e_end' EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM HUP

  export WINEPREFIX=$E2E_DIR/prefix
  # Shared lock: a rebuild of the base (exclusive) never runs under a copy in progress.
  local lock_fd
  exec {lock_fd}>"$E2E_ROOT/base-prefix.lock"
  flock -s "$lock_fd"
  _e2e_clone_prefix "$E2E_ROOT/base-prefix" "$WINEPREFIX" || e2e_fail "could not copy the base prefix"
  exec {lock_fd}>&-
  export WINELOADER=$E2E_WINELOADER WINESERVER=$E2E_WINESERVER
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  unset WINEARCH WINEDLLPATH XAUTHORITY WAYLAND_DISPLAY
  export E2E_DIR E2E_DRIVE_C=$WINEPREFIX/drive_c
  temp=$(_e2e_find_temp "$WINEPREFIX") || e2e_fail "cannot find the user's temp folder in $WINEPREFIX"
  mkdir -p "$temp"
  export E2E_TEMP=$temp
  export TARNWICK_LOG
  TARNWICK_LOG=$(e2e_winpath "$E2E_DIR/trace.log")

  _e2e_start_xvfb "$E2E_DIR/xvfb.display" || e2e_fail "could not start Xvfb"
  export DISPLAY=$_E2E_XVFB_DISPLAY
  _e2e_start_watchdog
}

# Ends this test's Wine processes and Xvfb, waits for them and removes the prefix. The scratch
# folder stays for a look after a failure; the next run of the same test clears it.
e2e_end() {
  local status=$?
  [[ -n ${E2E_DIR:-} && -e $E2E_DIR/.active ]] || return "$status"
  _e2e_stop_pid "${_E2E_HTTP_PID:-}"
  _E2E_HTTP_PID=
  _e2e_kill_prefix "$WINEPREFIX"
  _e2e_stop_pid "${_E2E_XVFB_PID:-}"
  _E2E_XVFB_PID=
  _e2e_remove_prefix "$WINEPREFIX"
  local watchdog
  watchdog=$(cat "$E2E_DIR/.watchdog" 2>/dev/null) || true
  rm -f "$E2E_DIR/.active" "$E2E_DIR/.watchdog"
  if [[ -n $watchdog ]]; then kill -TERM "$watchdog" 2>/dev/null || true; fi
  return "$status"
}

# --- running Windows programs ---------------------------------------------------------------------

# e2e_wine EXE ARGS...: runs a program in the test's prefix with the shell's current directory as its
# own, waits, and returns its exit code (low 8 bits, as Wine passes it on).
e2e_wine() {
  "$WINELOADER" "$@"
}

# e2e_wine_bg EXE ARGS...: starts a program and leaves its pid in E2E_BG_PID.
e2e_wine_bg() {
  "$WINELOADER" "$@" &
  E2E_BG_PID=$!
}

# e2e_wait_exit PID TIMEOUT_S: returns the program's exit code; a program still running after the
# timeout fails the test.
e2e_wait_exit() {
  local pid=$1 timeout=$2 deadline
  deadline=$((SECONDS + timeout))
  while _e2e_alive "$pid"; do
    ((SECONDS < deadline)) || e2e_fail "process $pid still running after ${timeout}s"
    sleep 0.05
  done
  wait "$pid"
}

# e2e_wait_for LIMIT_S COMMAND...: runs COMMAND until it succeeds, a tenth of a second apart; false
# when it still fails after LIMIT_S seconds. A test waits for what it then checks, never for a
# guessed time, and says itself what did not come.
e2e_wait_for() {
  local deadline=$((SECONDS + $1 + 1))  # SECONDS counts whole seconds: never less than the limit
  shift
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
}

# e2e_driver ARGS...: the UI driver (wait, gone, texts, click, key, list) in the test's prefix.
e2e_driver() {
  [[ -f ${E2E_WIN64_DIR:-}/uidriver.exe ]] || e2e_fail "missing $E2E_WIN64_DIR/uidriver.exe"
  "$WINELOADER" "$E2E_WIN64_DIR/uidriver.exe" "$@"
}

# e2e_control_text TITLE ID [CLASS]: the text of the control with that id in the window with that
# title, decoded from the driver's escapes (so "\r\n" comes back as the two bytes).
e2e_control_text() {
  local title=$1 id=$2 class=${3:-} out line
  out=$(e2e_driver texts --title "$title" ${class:+--class "$class"}) || return 1
  while IFS= read -r line; do
    if [[ ${line%%$'\t'*} == "$id" ]]; then
      printf '%b' "${line#*$'\t'*$'\t'}"
      return 0
    fi
  done <<<"$out"
  e2e_log "no control $id in \"$title\":"$'\n'"$out"
  return 1
}

# e2e_shot NAME: the whole Xvfb screen to $E2E_HOST_DIR/e2e/shots/NAME.png.
e2e_shot() {
  local out=$E2E_ROOT/shots/$1${E2E_SHOT_SUFFIX:-}.png
  mkdir -p "$E2E_ROOT/shots"
  import -display "$DISPLAY" -window root "$out" || e2e_fail "screenshot $1 failed"
  echo "$out"
}

# e2e_rect TITLE [ID]: the screen rectangle of a window or of its control ID, as "left top right
# bottom"; screenshots are of the whole screen, so these are also the picture's coordinates.
e2e_rect() {
  e2e_driver rect --title "$1" ${2:+--id "$2"} | tr -d '\r'
}

# e2e_pixel PNG X Y: the colour of one pixel as "R,G,B".
e2e_pixel() {
  convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- | sed -n '2s/^[^(]*(\([0-9]*,[0-9]*,[0-9]*\).*/\1/p'
}

# e2e_colour_count PNG X Y WIDTH HEIGHT R,G,B: how many pixels of the area have exactly that colour.
e2e_colour_count() {
  local hex red green blue
  IFS=, read -r red green blue <<<"$6"
  hex=$(printf '#%02X%02X%02X' "$red" "$green" "$blue")
  convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -depth 8 txt:- | grep -c " $hex " || true
}

# e2e_any_machine: the "SYSTEM" section of a project that every machine meets.
e2e_any_machine() {
  printf '[SYSTEM]\r\n1=All Processors\r\n2=Any\r\n3=Any resolution\r\n4=Any colors\r\n'
  printf 'os0=Yes\r\nos1=Yes\r\nos2=Yes\r\nos3=Yes\r\nos4=Yes\r\nos5=Yes\r\nos6=Yes\r\n'
}

# e2e_install_silently PACKED [ARGS...]: runs the packed setup.exe from its folder and fails unless it
# exits 0.
e2e_install_silently() {
  local rc=0
  (cd "$1" && e2e_wine "$1/setup.exe" "${@:2}") || rc=$?
  e2e_assert_eq 0 "$rc" "setup.exe exit code"
}

# e2e_http_serve DIR [PAUSE_S]: serves DIR over HTTP on a free loopback port, E2E_HTTP_PORT, until
# the test ends. With PAUSE_S every 10,000 bytes of a body wait that long, so a transfer lasts.
e2e_http_serve() {
  local dir=$1 pause=${2:-0}
  E2E_HTTP_PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  cat >"$E2E_DIR/http_server.py" <<'PY'
import functools, http.server, sys, time
class Paced(http.server.SimpleHTTPRequestHandler):
    def copyfile(self, source, outputfile):
        while chunk := source.read(10000):
            outputfile.write(chunk)
            outputfile.flush()
            time.sleep(float(sys.argv[3]))
handler = functools.partial(Paced, directory=sys.argv[2])
http.server.ThreadingHTTPServer(("127.0.0.1", int(sys.argv[1])), handler).serve_forever()
PY
  python3 "$E2E_DIR/http_server.py" "$E2E_HTTP_PORT" "$dir" "$pause" >"$E2E_DIR/http.log" 2>&1 &
  _E2E_HTTP_PID=$!
  for _ in $(seq 50); do
    python3 -c "import socket; socket.create_connection(('127.0.0.1', $E2E_HTTP_PORT), 0.2)" 2>/dev/null && return 0
    sleep 0.1
  done
  e2e_fail "the HTTP server did not start: $(cat "$E2E_DIR/http.log")"
}

# e2e_pack PROJECT_DIR OUT_DIR: a plain project folder to what ships beside the chosen build's setup.exe.
e2e_pack() {
  local tool=$E2E_HOST_DIR/tarnwick-pack
  [[ -x $tool ]] || e2e_fail "missing $tool"
  [[ -f ${E2E_SETUP_DIR:-}/setup.exe ]] || e2e_fail "missing $E2E_SETUP_DIR/setup.exe"
  "$tool" "$1" "$2" --setup "$E2E_SETUP_DIR/setup.exe" || e2e_fail "tarnwick-pack $1 failed"
}
