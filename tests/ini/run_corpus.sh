#!/bin/bash
# Runs ini_probe.exe under wine64 on the INI corpus, so the real GetPrivateProfileStringA and our
# reader answer the same questions. Starts its own Xvfb and Wine prefix and ends both.
# Usage: run_corpus.sh <folder holding ini_probe.exe> [corpus folder]
# E2E_BASE_PREFIX, when set, names a prepared prefix to copy instead of creating one.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
probe="${1:?usage: run_corpus.sh <win64 build folder> [corpus folder]}/ini_probe.exe"
corpus="${2:-$here/corpus}"
[ -f "$probe" ] || { echo "run_corpus: no $probe" >&2; exit 2; }

wine=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver64
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
# The reader's case folding depends on the ANSI code page; pin the Western one.
export LANG=en_US.UTF-8 LC_ALL=

work="$(mktemp -d /tmp/tw-ini.XXXXXX)"
export WINEPREFIX="$work/prefix"
xvfbPid=""

cleanup() {
  if [ -d "$WINEPREFIX" ]; then "$WINESERVER" -k >/dev/null 2>&1; fi
  if [ -n "$xvfbPid" ]; then kill "$xvfbPid" 2>/dev/null; wait "$xvfbPid" 2>/dev/null; fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

startXvfb() {
  local n
  for n in $(seq 91 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -nolisten tcp -screen 0 1024x768x24 >/dev/null 2>&1 &
    xvfbPid=$!
    sleep 1
    if kill -0 "$xvfbPid" 2>/dev/null; then export DISPLAY=":$n"; return 0; fi
    xvfbPid=""
  done
  echo "run_corpus: no free X display" >&2
  return 1
}

makePrefix() {
  if [ -n "${E2E_BASE_PREFIX:-}" ] && [ -d "$E2E_BASE_PREFIX" ]; then
    cp -a "$E2E_BASE_PREFIX" "$WINEPREFIX"
  else
    "$wine" wineboot -i >/dev/null 2>&1
    "$WINESERVER" -w
  fi
}

# Use the shared end-to-end harness when it offers the two steps we need; otherwise set up on
# our own. Our trap is put back in case the harness installs one of its own.
if [ -f "$here/../e2e/lib.sh" ]; then
  . "$here/../e2e/lib.sh"
  trap cleanup EXIT
fi
if declare -F e2e_start_xvfb >/dev/null && declare -F e2e_new_prefix >/dev/null; then
  e2e_start_xvfb && e2e_new_prefix "$WINEPREFIX" || exit 2
else
  startXvfb || exit 2
  makePrefix || exit 2
fi

# Copies with old times: the system reader reloads a file whose time is within two seconds of
# now on every call, which would only slow the probe down.
mkdir -p "$work/corpus"
cp "$corpus"/* "$work/corpus/"
touch -d '2001-01-01 00:00:00' "$work/corpus"/*

"$wine" "$probe" "Z:$work/corpus" 2>&1
status=$?
"$WINESERVER" -w
exit $status
