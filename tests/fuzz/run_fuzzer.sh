#!/bin/bash
# Runs one libFuzzer harness: first every kept crash input once, then fuzzing for SECONDS from the
# seeds and the harness's corpus under WORKDIR. Ends with one line,
#   fuzz NAME execs=N exec/s=R seconds=S result=ok|finding=FILE|replay-failed
# and exits non-zero on any finding (the input lands in WORKDIR/findings/).
#   run_fuzzer.sh HARNESS SECONDS WORKDIR [keep]   (keep: the corpus grows across runs)
# With REPLAY_WITH set to the same harness built with ASan (for a harness built without it), that
# twin runs the kept crash inputs, and after the run every input of the corpus and any finding:
# an input that only ASan sees as faulty is a finding too.
set -u
harness=$1 seconds=$2 workdir=$3 keep=${4:-}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
name=$(basename "$harness" _fuzzer)
regressions=$here/regressions/$name
corpus=$workdir/corpus/$name seeds=$workdir/seeds/$name
[ -n "$keep" ] || rm -rf "$corpus"
rm -rf "$seeds"
mkdir -p "$corpus" "$seeds" "$workdir/findings"

# The seeds: this harness's own (tests/fuzz/seeds/NAME) and its lines of seeds.list.
[ -d "$here/seeds/$name" ] && cp "$here/seeds/$name"/* "$seeds"/
n=0
while read -r harnessName pattern; do
  [ "$harnessName" = "$name" ] || continue
  if [[ $pattern == *+* ]]; then
    { cat "$root/${pattern%%+*}"; printf '\f'; cat "$root/${pattern#*+}"; } >"$seeds/joined$((n++))"
  else
    for file in $root/$pattern; do cp "$file" "$seeds/seed$((n++))-$(basename "$file")"; done
  fi
done < <(grep -v '^#' "$here/seeds.list")
# A slow input is a finding (the limit leaves room for a busy machine), and memory stays bounded.
options=(-timeout=60 -rss_limit_mb=2048 -malloc_limit_mb=1024 -print_final_stats=1
         -artifact_prefix="$workdir/findings/$name-")
# The longest input each harness makes. A project file's parser meets every construct it has within
# a few kilobytes, and an input ten times longer costs ten times the time for no new path. A longer
# seed is cut to the limit: the sample layouts keep their window settings, every control line and
# the first controls' properties (the gallery page, a control of every kind, is also kept whole in
# two seeds of its own), and the sample settings file's second half is a seed of its own.
# A command line's paths stop at 259 characters: a kilobyte holds every switch and a path past its
# limit. A project file is read a kilobyte at a time and deciphered in 384-byte chunks: two
# kilobytes cross the read buffer's edge with a chunk astride it.
case $name in
  layout|settings|conditions) options+=(-max_len=2048) ;;
  language_file) options+=(-max_len=3072) ;;
  command_line) options+=(-max_len=1024) ;;
  project_file) options+=(-max_len=2048) ;;
esac
# A freed block stays poisoned until the next 8 MB have been freed, many inputs' worth of this
# code's allocations, rather than ASan's 256 MB: the large quarantine handed out fresh memory all
# run long, a page fault per reuse and up to a third of the time. Settings given by the caller win.
export ASAN_OPTIONS="quarantine_size_mb=8${ASAN_OPTIONS:+:$ASAN_OPTIONS}"

replay=${REPLAY_WITH:-}
# Runs each file given once, by the harness and by its ASan twin; false on any fault.
run_each() {
  local runner
  for runner in "$harness" $replay; do
    "$runner" "${options[@]}" "$@" >"$workdir/$name.replay.log" 2>&1 || { cat "$workdir/$name.replay.log"; return 1; }
  done
}

if [ -d "$regressions" ] && [ -n "$(ls -A "$regressions")" ]; then
  if ! run_each "$regressions"/*; then
    echo "fuzz $name execs=0 exec/s=0 seconds=0 result=replay-failed"
    exit 1
  fi
fi

dirs=("$corpus" "$seeds")
log=$workdir/$name.log
"$harness" "${options[@]}" -max_total_time="$seconds" "${dirs[@]}" >"$log" 2>&1
status=$?
execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
result=ok
if [ $status -ne 0 ]; then
  tail -60 "$log"
  finding=$(sed -n 's/.*Test unit written to //p' "$log" | tail -1)
  result="finding=${finding:-status-$status}"
  # A finding of the build without ASan gets ASan's report too, which says more.
  [ -n "$replay" ] && [ -n "$finding" ] && "$replay" "${options[@]}" "$finding" 2>&1 | tail -60
elif [ -n "$replay" ]; then
  # The ASan twin runs what the run kept: every input of the corpus, once (-runs=0 stops it after
  # reading them). A fault it finds is saved in WORKDIR/findings/ as any other.
  if ! "$replay" "${options[@]}" -runs=0 "${dirs[@]}" >"$workdir/$name.asan.log" 2>&1; then
    tail -60 "$workdir/$name.asan.log"
    finding=$(sed -n 's/.*Test unit written to //p' "$workdir/$name.asan.log" | tail -1)
    result="finding=${finding:-asan-status}"
    status=1
  else
    replayed=$(sed -n 's/^#\([0-9]*\)[[:space:]]*INITED.*/\1/p' "$workdir/$name.asan.log" | tail -1)
    result="ok asan-replayed=${replayed:-0}"
  fi
fi
echo "fuzz $name execs=${execs:-0} exec/s=${rate:-0} seconds=$seconds result=$result"
[ $status -eq 0 ]
