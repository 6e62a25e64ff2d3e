#!/bin/bash
# Times a silent installation under Wine of a generated project: 2,000 files, 200 MB in all, packed
# as a cabinet build. Prints the packing time and the installation time (start-up unpacking of the
# cabinet, the copy into the install folder, the log) side by side.
set -euo pipefail
source "$(dirname "$0")/../tests/e2e/lib.sh"

FILES=${BENCH_FILES:-2000}
TOTAL_MB=${BENCH_MB:-200}
e2e_begin bench_silent_install
unset TARNWICK_LOG  # measure the installation, not the diagnostic trace
project=$E2E_DIR/project
mkdir -p "$project/payload"
size=$((TOTAL_MB * 1024 * 1024 / FILES))
printf '[APPINFO]\r\na1=Bench\r\na2=1.0\r\na3={BENCH}\r\na4=C:\\Bench\r\n[BUILDING]\r\n2=Yes\r\n' >"$project/setup.inf"
printf '[SYSTEM]\r\n1=All Processors\r\n2=Any\r\n3=Any resolution\r\n4=Any colors\r\nos0=Yes\r\nos1=Yes\r\nos2=Yes\r\nos3=Yes\r\nos4=Yes\r\nos5=Yes\r\nos6=Yes\r\n' >>"$project/setup.inf"
# Half the bytes random, half repetitive, so the cabinet compresses the way real payloads do.
head -c "$size" /dev/urandom >"$E2E_DIR/random.bin"
: >"$project/data.inf"
for ((i = 0; i < FILES; i++)); do
  name=file$i.dat
  if ((i % 2)); then cp "$E2E_DIR/random.bin" "$project/payload/$name"; else head -c "$size" < <(yes "line $i of the bench payload") >"$project/payload/$name"; fi
  printf 'C:\\src\\%s\r\nDestination Computer\\<InstallDir>dir%d\\*0*0*0|\r\n' "$name" $((i % 20)) >>"$project/data.inf"
done

start=$(date +%s.%N)
"$E2E_HOST_DIR/tarnwick-pack" "$project" "$E2E_DIR/packed" --setup "$E2E_WIN64_DIR/setup.exe" >"$E2E_DIR/pack.log" 2>&1 ||
  { cat "$E2E_DIR/pack.log"; exit 1; }
packed=$(date +%s.%N)
(cd "$E2E_DIR/packed" && e2e_wine "$E2E_DIR/packed/setup.exe")
installed=$(date +%s.%N)

# The same payload on the host with ordinary tools: unpack the cabinet, copy the files into place.
host_dir=$E2E_DIR/host
mkdir -p "$host_dir/unpacked" "$host_dir/installed"
host_start=$(date +%s.%N)
cabextract -q -d "$host_dir/unpacked" "$E2E_DIR/packed/file1.cab"
cp -r "$host_dir/unpacked/." "$host_dir/installed/"
host_end=$(date +%s.%N)

count=$(find "$E2E_DRIVE_C/Bench" -type f | wc -l)
printf 'silent install bench: %d files, %d MB (cabinet %d MB)\n' "$FILES" "$TOTAL_MB" \
  $(($(stat -c %s "$E2E_DIR/packed/file1.cab") / 1024 / 1024))
printf '  pack      %6.1f s\n' "$(awk -v a="$packed" -v b="$start" 'BEGIN { print a - b }')"
install_s=$(awk -v a="$installed" -v b="$packed" 'BEGIN { print a - b }')
host_s=$(awk -v a="$host_end" -v b="$host_start" 'BEGIN { print a - b }')
printf '  install   %6.1f s   (setup.exe under Wine: unpack, copy, log; %d files in place)\n' "$install_s" "$count"
printf '  host      %6.1f s   (cabextract + cp -r of the same payload)\n' "$host_s"
printf '  ratio     %6.1f x\n' "$(awk -v a="$install_s" -v b="$host_s" 'BEGIN { print (b > 0 ? a / b : 0) }')"
