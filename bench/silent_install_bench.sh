#!/bin/bash
# The payload bench. One generated project (2,000 files, 190 MB, half random, half text) is
#  1. installed silently under Wine by our setup.exe (a cabinet build) and by an NSIS installer of
#     the same payload (zlib, installed with /S), alternately, BENCH_RUNS times each after one untimed
#     pair (the first runs of both pay for files the machine freed just before), and by the same
#     product packed as one file (--single-file) right after ours, its ratio to ours printed; the same cabinet
#     is unpacked and copied into place on the host with cabextract + cp; medians and ratios printed;
#  2. installed once more with the trace on, for the peak working set of the silent install;
#     Right after ours (and the baseline's), the same build is installed again over it: a reinstall,
#     which replaces every file.
#  3. run interactively: seconds from launch until the first wizard page shows its Next button, for
#     our setup.exe, the same wizard packed as one file, and, side by side, for BENCH_BASELINE_SETUP
#     (an older setup.exe) when given.
# With BENCH_BASELINE_SETUP the older setup.exe also installs the same cabinet silently in each
# timed round, before or after ours by turns, so the two are compared within one run.
set -euo pipefail
source "$(dirname "$0")/../tests/e2e/lib.sh"

FILES=${BENCH_FILES:-2000}
TOTAL_MB=${BENCH_MB:-190}
RUNS=${BENCH_RUNS:-5}
BASELINE=${BENCH_BASELINE_SETUP:-}
command -v makensis >/dev/null || e2e_fail "makensis is missing (Debian package nsis)"
e2e_begin bench_silent_install
trace_path=$TARNWICK_LOG
unset TARNWICK_LOG  # time the installation, not the diagnostic trace

now() { date +%s.%N; }
since() { awk -v a="$(now)" -v b="$1" 'BEGIN { printf "%.2f", a - b }'; }
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

# --- the payload and the two installers ------------------------------------------------------------
project=$E2E_DIR/project
mkdir -p "$project/payload"
size=$((TOTAL_MB * 1024 * 1024 / FILES))
printf '[APPINFO]\r\na1=Bench\r\na2=1.0\r\na3={BENCH}\r\na4=C:\\Bench\r\n[BUILDING]\r\n2=Yes\r\n' >"$project/setup.inf"
e2e_any_machine >>"$project/setup.inf"
# Half the files random, half repetitive text, so the cabinet compresses the way real payloads do.
# Every random file is its own: NSIS stores identical files once, which would flatter it.
nsi=$E2E_DIR/bench.nsi
printf 'Target amd64-unicode\nSetCompressor zlib\nName "Bench"\nOutFile "%s"\nInstallDir "C:\\NsisBench"\n' \
  "$E2E_DIR/nsis/setup.exe" >"$nsi"
printf 'RequestExecutionLevel user\nSection\n' >>"$nsi"
: >"$project/data.inf"
for ((i = 0; i < FILES; i++)); do
  name=file$i.dat
  if ((i % 2)); then head -c "$size" /dev/urandom >"$project/payload/$name"; else head -c "$size" < <(yes "line $i of the bench payload") >"$project/payload/$name"; fi
  printf 'C:\\src\\%s\r\nDestination Computer\\<InstallDir>dir%d\\*0*0*0|\r\n' "$name" $((i % 20)) >>"$project/data.inf"
  printf 'SetOutPath "$INSTDIR\\dir%d"\nFile "%s"\n' $((i % 20)) "$project/payload/$name" >>"$nsi"
done
printf 'SectionEnd\n' >>"$nsi"

start=$(now)
"$E2E_HOST_DIR/tarnwick-pack" "$project" "$E2E_DIR/packed" --setup "$E2E_WIN64_DIR/setup.exe" >"$E2E_DIR/pack.log" 2>&1 ||
  { cat "$E2E_DIR/pack.log"; exit 1; }
pack_s=$(since "$start")
# The same product as one file, in a folder of its own (named setup.exe there, which it need not be).
"$E2E_HOST_DIR/tarnwick-pack" "$project" "$E2E_DIR/packed_single" --setup "$E2E_WIN64_DIR/setup.exe" --single-file \
  >>"$E2E_DIR/pack.log" 2>&1 || { cat "$E2E_DIR/pack.log"; exit 1; }
mkdir -p "$E2E_DIR/single"
mv "$E2E_DIR"/packed_single/*-setup.exe "$E2E_DIR/single/setup.exe"
rm -rf "$E2E_DIR/packed_single"
mkdir -p "$E2E_DIR/nsis"
start=$(now)
makensis -V1 "$nsi" >"$E2E_DIR/makensis.log" 2>&1 || { cat "$E2E_DIR/makensis.log"; exit 1; }
nsis_pack_s=$(since "$start")

# --- silent installs, alternating ------------------------------------------------------------------
# Earlier installs are moved aside, not deleted, until the timing is over: on a file system that
# keeps freshly freed inodes back for a while (ext4 without a journal), deleting 4,000 files just
# before a run slows every file the next installer creates, whichever it is.
set_aside=0
clean_installs() {
  local trash=$E2E_DIR/set-aside/$((set_aside++)) entry
  mkdir -p "$trash"
  for entry in Bench NsisBench "windows/Installer/{BENCH}"; do
    if [[ -e $E2E_DRIVE_C/$entry ]]; then mv "$E2E_DRIVE_C/$entry" "$trash/${entry//\//_}"; fi
  done
  # Each install starts with nothing of the last one still being written back to the disk, which
  # would otherwise hold up the creation of files for whichever install comes after.
  sync
}
count_files() { find "$1" -type f 2>/dev/null | wc -l; }
e2e_wine reg query 'HKCU\Software' >/dev/null 2>&1 || true  # the wineserver is up before the first timing
if [[ -n $BASELINE ]]; then
  cp -al "$E2E_DIR/packed" "$E2E_DIR/packed_baseline"  # the same cabinet, linked
  rm "$E2E_DIR/packed_baseline/setup.exe"
  cp "$BASELINE" "$E2E_DIR/packed_baseline/setup.exe"
fi
# reinstall PACKED: installs it silently into C:\Bench over what is there; INSTALL_S = seconds.
reinstall() {
  local start
  start=$(now)
  (cd "$1" && e2e_wine "$1/setup.exe")
  INSTALL_S=$(since "$start")
  ((($(count_files "$E2E_DRIVE_C/Bench")) == FILES)) || e2e_fail "$1/setup.exe left $(count_files "$E2E_DRIVE_C/Bench") files"
  sync
}
# silent_install PACKED: the same, started afresh.
silent_install() {
  clean_installs
  reinstall "$1"
}
ours=() single=() base=() nsis=() host=() re_ours=() re_base=()
for ((run = 0; run <= RUNS; run++)); do  # run 0 is the untimed pair
  # With a baseline the two take turns at going first, so neither always meets the disk as the
  # other left it.
  if [[ -n $BASELINE ]] && ((run % 2)); then
    silent_install "$E2E_DIR/packed_baseline"
    ((run)) && base+=("$INSTALL_S")
    reinstall "$E2E_DIR/packed_baseline"
    ((run)) && re_base+=("$INSTALL_S")
  fi
  silent_install "$E2E_DIR/packed"
  ((run)) && ours+=("$INSTALL_S")
  reinstall "$E2E_DIR/packed"
  ((run)) && re_ours+=("$INSTALL_S")
  silent_install "$E2E_DIR/single"
  ((run)) && single+=("$INSTALL_S")
  if [[ -n $BASELINE ]] && ! ((run % 2)); then
    silent_install "$E2E_DIR/packed_baseline"
    ((run)) && base+=("$INSTALL_S")
    reinstall "$E2E_DIR/packed_baseline"
    ((run)) && re_base+=("$INSTALL_S")
  fi
  start=$(now)
  e2e_wine "$E2E_DIR/nsis/setup.exe" /S
  ((run)) && nsis+=("$(since "$start")")
  ((($(count_files "$E2E_DRIVE_C/NsisBench")) == FILES)) || e2e_fail "NSIS left $(count_files "$E2E_DRIVE_C/NsisBench") files"
  ((run)) || continue

  # The same cabinet on the host with ordinary tools: unpack it, copy the files into place.
  host_dir=$E2E_DIR/host/$run  # set aside like the installs, for the same reason
  mkdir -p "$host_dir/unpacked" "$host_dir/installed"
  start=$(now)
  cabextract -q -d "$host_dir/unpacked" "$E2E_DIR/packed/file1.cab"
  cp -r "$host_dir/unpacked/." "$host_dir/installed/"
  host+=("$(since "$start")")
done

# --- one traced run for the peak working set ----------------------------------------------------
clean_installs
rm -rf "$E2E_DIR/set-aside" "$E2E_DIR/host"
(cd "$E2E_DIR/packed" && TARNWICK_LOG=$trace_path e2e_wine "$E2E_DIR/packed/setup.exe")
peak_kb=$(sed -n 's/^install end .*peak-kb=\([0-9]*\).*/\1/p' "$E2E_DIR/trace.log" | tail -1)

# --- the first page of an interactive run -----------------------------------------------------------
# The same payload behind the sample's wizard (without its splash, which shows for a set time).
interactive=$E2E_DIR/interactive
cp -r "$(dirname "$0")/../examples/project" "$interactive"
rm -rf "$interactive/payload" "$interactive/setup.gif"
# No splash at all: with its picture gone a splash still holds the first page for its set time.
sed -i '/^\[SPLASH\]/,/^\[/ s/^a1=Yes/a1=No/' "$interactive/setup.inf"
cp -r "$project/payload" "$project/data.inf" "$interactive/"
"$E2E_HOST_DIR/tarnwick-pack" "$interactive" "$E2E_DIR/packed_ui" --setup "$E2E_WIN64_DIR/setup.exe" >>"$E2E_DIR/pack.log" 2>&1 ||
  { cat "$E2E_DIR/pack.log"; exit 1; }
"$E2E_HOST_DIR/tarnwick-pack" "$interactive" "$E2E_DIR/packed_ui_one" --setup "$E2E_WIN64_DIR/setup.exe" --single-file \
  >>"$E2E_DIR/pack.log" 2>&1 || { cat "$E2E_DIR/pack.log"; exit 1; }
mkdir -p "$E2E_DIR/packed_ui_single"
mv "$E2E_DIR"/packed_ui_one/*-setup.exe "$E2E_DIR/packed_ui_single/setup.exe"
rm -rf "$E2E_DIR/packed_ui_one"
if [[ -n $BASELINE ]]; then
  cp -r "$E2E_DIR/packed_ui" "$E2E_DIR/packed_ui_baseline"
  cp "$BASELINE" "$E2E_DIR/packed_ui_baseline/setup.exe"
fi
first_page() {  # PACKED: FIRST_PAGE_S = seconds from launch to the welcome page's Next button
  local packed=$1 start pid
  rm -rf "$E2E_TEMP"/tw[0-9]*
  start=$(now)
  cd "$packed"
  e2e_wine_bg "$packed/setup.exe" >/dev/null 2>&1
  pid=$E2E_BG_PID
  cd - >/dev/null
  e2e_driver wait --title "Tarnwick Notes Setup" --caption "Next >" --timeout 60000 >/dev/null ||
    e2e_fail "no first page from $packed/setup.exe"
  FIRST_PAGE_S=$(since "$start")
  kill "$pid" 2>/dev/null || true
  e2e_wait_exit "$pid" 30 >/dev/null 2>&1 || true
}
ui_ours=() ui_single=() ui_base=()
for ((run = 1; run <= RUNS; run++)); do
  first_page "$E2E_DIR/packed_ui"
  ui_ours+=("$FIRST_PAGE_S")
  first_page "$E2E_DIR/packed_ui_single"
  ui_single+=("$FIRST_PAGE_S")
  if [[ -n $BASELINE ]]; then
    first_page "$E2E_DIR/packed_ui_baseline"
    ui_base+=("$FIRST_PAGE_S")
  fi
done

# --- the figures ----------------------------------------------------------------------------------
m_ours=$(median "${ours[@]}") m_nsis=$(median "${nsis[@]}") m_host=$(median "${host[@]}")
printf 'silent install bench: %d files, %d MB (cabinet %d MB, NSIS installer %d MB), %d runs each\n' "$FILES" "$TOTAL_MB" \
  $(($(stat -c %s "$E2E_DIR/packed/file1.cab") / 1048576)) $(($(stat -c %s "$E2E_DIR/nsis/setup.exe") / 1048576)) "$RUNS"
printf '  pack          %6.1f s   (tarnwick-pack; makensis %.1f s)\n' "$pack_s" "$nsis_pack_s"
printf '  ours          %6.2f s   median of %s\n' "$m_ours" "${ours[*]}"
m_single=$(median "${single[@]}")
printf '  single file   %6.2f s   median of %s (the same, from one file)\n' "$m_single" "${single[*]}"
printf '  single / ours %6.2f\n' "$(ratio "$m_single" "$m_ours")"
m_re_ours=$(median "${re_ours[@]}")
printf '  reinstall     %6.2f s   median of %s (ours again, over its own install)\n' "$m_re_ours" "${re_ours[*]}"
printf '  NSIS          %6.2f s   median of %s\n' "$m_nsis" "${nsis[*]}"
printf '  host          %6.2f s   median of %s (cabextract + cp)\n' "$m_host" "${host[*]}"
if [[ -n $BASELINE ]]; then
  m_base=$(median "${base[@]}")
  printf '  baseline      %6.2f s   median of %s (%s)\n' "$m_base" "${base[*]}" "$BASELINE"
  printf '  ours / base   %6.2f\n' "$(ratio "$m_ours" "$m_base")"
  m_re_base=$(median "${re_base[@]}")
  printf '  reinstall     %6.2f s   median of %s (the baseline again, over its own install)\n' "$m_re_base" "${re_base[*]}"
  printf '  reinstall ours / base %6.2f\n' "$(ratio "$m_re_ours" "$m_re_base")"
fi
printf '  ours / NSIS   %6.2f\n' "$(ratio "$m_ours" "$m_nsis")"
printf '  ours / host   %6.2f\n' "$(ratio "$m_ours" "$m_host")"
printf '  peak working set of the silent install: %s KB (%s MB)\n' "${peak_kb:-?}" "$(( ${peak_kb:-0} / 1024 ))"
m_ui_ours=$(median "${ui_ours[@]}") m_ui_single=$(median "${ui_single[@]}")
printf '  first page    %6.2f s   median of %s (ours, interactive)\n' "$m_ui_ours" "${ui_ours[*]}"
printf '  first page    %6.2f s   median of %s (the same, from one file; %+.2f s)\n' "$m_ui_single" "${ui_single[*]}" \
  "$(awk -v a="$m_ui_single" -v b="$m_ui_ours" 'BEGIN { print a - b }')"
if [[ -n $BASELINE ]]; then
  printf '  first page    %6.2f s   median of %s (%s)\n' "$(median "${ui_base[@]}")" "${ui_base[*]}" "$BASELINE"
fi

# The bulky parts go now rather than at the start of the next bench: a file system that holds freed
# inodes back for minutes (ext4 without a journal) slows the creation of every file after a mass
# deletion, for NSIS as for us, and would skew the next bench's first runs.
rm -rf "$project/payload" "$interactive/payload" "$E2E_DIR"/packed* "$E2E_DIR/nsis" "$E2E_DRIVE_C/Bench" "$E2E_DRIVE_C/NsisBench"
