#!/bin/bash
# make demo: packs the sample project, runs the win64 setup.exe on it under Wine on a hidden display
# and shows what it did: the trace, the work folder, the theme folder and a screenshot.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

REPO=$(cd "$E2E_LIB_DIR/../.." && pwd)
PROJECT=${DEMO_PROJECT:-$REPO/examples/project}
[[ -f $PROJECT/setup.inf ]] || PROJECT=$E2E_LIB_DIR/projects/basic
# How long setup.exe may run before the demo looks at its windows and ends it.
DEMO_WAIT_S=${DEMO_WAIT_S:-20}

section() { printf '\n== %s\n' "$*"; }

# Files under a folder with their sizes, paths relative to it.
show_tree() {
  if [[ -d $1 ]]; then
    (cd "$1" && find . -mindepth 1 -printf '  %P  (%s bytes)\n' | sort)
  else
    echo "  (none)"
  fi
}

e2e_begin demo
PACKED=$E2E_DIR/packed
section "packing ${PROJECT#"$REPO"/}"
e2e_pack "$PROJECT" "$PACKED" | sed "s|^$PACKED/|  |"

section "running setup.exe under Wine (display $DISPLAY)"
cd "$PACKED"
e2e_wine_bg "$PACKED/setup.exe"
cd - >/dev/null
deadline=$((SECONDS + DEMO_WAIT_S))
while _e2e_alive "$E2E_BG_PID" && ((SECONDS < deadline)); do sleep 0.2; done
if _e2e_alive "$E2E_BG_PID"; then
  echo "  still running after ${DEMO_WAIT_S}s; its windows:"
  e2e_driver list | sed 's/^/  /'
  echo "  screenshot: $(e2e_shot demo)"
else
  rc=0
  wait "$E2E_BG_PID" || rc=$?
  echo "  exited with code $rc"
fi

section "trace ($TARNWICK_LOG)"
if [[ -f $E2E_DIR/trace.log ]]; then sed 's/^/  /' "$E2E_DIR/trace.log"; else echo "  (no trace written)"; fi

section "work folders in the user's temp folder"
found=0
for dir in "$E2E_TEMP"/tw*/; do
  [[ -d $dir ]] || continue
  found=1
  dir=${dir%/}
  echo "  ${dir##*/}:"
  show_tree "$dir" | sed 's/^/  /'
done
((found)) || echo "  (none left)"

section "theme folder beside setup.exe"
show_tree "$PACKED/theme"

section "cleaning up"
e2e_end
echo "  Wine and Xvfb stopped, prefix removed; scratch files in $E2E_DIR"
