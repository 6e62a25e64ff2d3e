#!/bin/bash
# make demo: packs the sample project, runs the win64 setup.exe on it under Wine on a hidden display,
# walks its wizard with the UI driver (a screenshot of every page in build/demo/) and shows what it
# did: the trace, the files, the registry, the uninstall log, the work and theme folders; then it
# removes the sample with its registered uninstaller and shows that nothing is left.
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
source "$E2E_LIB_DIR/wizard_walk.sh"
PACKED=$E2E_DIR/packed
# A screenshot of every page, kept after the run.
WIZARD_SHOTS=${DEMO_SHOTS:-$REPO/build/demo}
rm -rf "$WIZARD_SHOTS"

if [[ $PROJECT == "$REPO/examples/project" ]]; then
  section "packing examples/project and walking its wizard as a user would"
  wizard_prepare "$E2E_DIR/project" "$PACKED"
  show_tree "$PACKED"
  wizard_start "$PACKED"
  echo "  splash and background, then: license accepted, name \"$WIZARD_USER\", folder $WIZARD_FOLDER"
  echo "  created in the folder dialog, custom setup without Samples, install, finish"
  wizard_walk_to_ready
  wizard_install_and_finish
  rc=0
  e2e_wait_exit "$E2E_BG_PID" 120 || rc=$?
  echo "  setup.exe exited with code $rc"
  echo "  screenshots of every page in ${WIZARD_SHOTS#"$REPO"/}:"
  (cd "$WIZARD_SHOTS" && ls | sed 's/^/    /')
else
  section "packing ${PROJECT#"$REPO"/}"
  cp -r "$PROJECT" "$E2E_DIR/project"
  e2e_pack "$E2E_DIR/project" "$PACKED" | sed "s|^$PACKED/|  |"
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
fi

section "trace ($TARNWICK_LOG; the language step's caption rewrites left out)"
if [[ -f $E2E_DIR/trace.log ]]; then grep -v '^language caption' "$E2E_DIR/trace.log" | sed 's/^/  /'; else echo "  (no trace written)"; fi

# What the run changed: its files, its registry values, its uninstall log.
product_code=$(tr -d '\r' <"$PROJECT/setup.inf" | sed -n 's/^a3=//p' | head -n 1)
install_dir=$(tr -d '\r' <"$E2E_DIR/trace.log" 2>/dev/null | sed -n 's/^install start .*installdir="\([^"]*\)".*/\1/p' | head -n 1)
if [[ -n $install_dir ]]; then
  section "installed into $install_dir"
  unix_dir=$E2E_DRIVE_C/${install_dir#C:\\}
  unix_dir=${unix_dir//\\//}
  show_tree "$unix_dir"
  section "registry values written"
  for key in 'HKCU\Software\Tarnwick Samples\Notes' "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$product_code" \
    'HKCR\.tnote' 'HKCR\TarnwickNotes.Note\Shell\Open\Command' 'HKCU\Environment' \
    'HKLM\SYSTEM\CurrentControlSet\Services\TarnwickNotesSync'; do
    echo "  $key"
    e2e_wine reg query "$key" 2>/dev/null | tr -d '\r' | grep -E 'REG_' | sed 's/^ */    /' || echo "    (none)"
  done
  section "shortcuts"
  (cd "$E2E_DRIVE_C/users" && find . \( -name '*.lnk' -o -name '*.url' \) -printf '  %P\n' | sort) || true
  section "uninstall log (C:\\windows\\Installer\\$product_code\\uninstall.log)"
  log=$E2E_DRIVE_C/windows/Installer/$product_code/uninstall.log
  if [[ -f $log ]]; then tr -d '\r' <"$log" | sed 's/^/  /'; else echo "  (none)"; fi
fi

if [[ -n $install_dir ]]; then
  uninstall_string=$(e2e_wine reg query "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$product_code" \
    /v QuietUninstallString 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
  section "uninstalling: the registered QuietUninstallString, $uninstall_string"
  rc=0
  eval "e2e_wine $uninstall_string" || rc=$?
  echo "  dovuvi.exe exited with code $rc"
  grep '^uninstall \(entry\|end\|registration\|log-folder\|installer-folder\)' "$E2E_DIR/trace.log" | sed 's/^/  /'
  section "what is left"
  echo "  install folder $install_dir:"
  if [[ -d $unix_dir ]]; then show_tree "$unix_dir" | sed 's/^/  /'; else echo "    (gone)"; fi
  parent_dir=${install_dir%\\}
  parent_dir=${parent_dir%\\*}
  parent_unix=${unix_dir%/}
  parent_unix=${parent_unix%/*}
  echo "  the folder the wizard made above it, $parent_dir: $([[ -d $parent_unix ]] && echo "(still there)" || echo "(gone)")"
  echo "  log folder C:\\windows\\Installer\\$product_code:"
  [[ -d $E2E_DRIVE_C/windows/Installer/$product_code ]] && show_tree "$E2E_DRIVE_C/windows/Installer/$product_code" || echo "    (gone)"
  echo "  registry keys:"
  for key in 'HKCU\Software\Tarnwick Samples' "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$product_code" \
    'HKCR\.tnote' 'HKCR\TarnwickNotes.Note' 'HKLM\SYSTEM\CurrentControlSet\Services\TarnwickNotesSync'; do
    if e2e_wine reg query "$key" >/dev/null 2>&1; then echo "    $key (still there)"; else echo "    $key (gone)"; fi
  done
  echo "  shortcuts:"
  left=$(cd "$E2E_DRIVE_C/users" && find . \( -name '*.lnk' -o -name '*.url' \) -printf '    %P\n' | sort)
  echo "${left:-    (none)}"
fi

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
