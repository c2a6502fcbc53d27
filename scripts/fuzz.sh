#!/usr/bin/env bash
# Long fuzzing (`make fuzz`): every libFuzzer harness of tests/fuzz runs for FUZZ_SECONDS under ASan
# and UBSan, starting from its checked-in corpus tests/fuzz/corpus/<target>. Afterwards what the run
# found is merged back into that corpus (-merge=1: minimised, capped), so the next run starts where
# this one ended; review and commit the corpus changes. A finding (crash, sanitizer report, leak,
# time-out, memory blow-up) stops the run: its reproducer is kept under build/fuzz/findings/<target>/
# and printed with the command that reproduces it. Ctrl-C stops early, still merging and reporting.
#
# Environment:
#   FUZZ_SECONDS    seconds each target runs (default 600)
#   FUZZ_JOBS       targets run side by side (default 1)
#   FUZZ_TARGETS    targets to run, blank-separated (default: every tests/fuzz/*_fuzz.cpp)
#   FUZZ_CORPUS_KB  largest checked-in corpus of one target, in KB (default 256)
#   FUZZ_KEEP_GOING 1: after a finding, run the remaining targets too
set -uo pipefail

cd "$(dirname "$0")/.." || exit 1
root=$PWD
seconds=${FUZZ_SECONDS:-600}
jobs=${FUZZ_JOBS:-1}
corpusCapKb=${FUZZ_CORPUS_KB:-256}
keepGoing=${FUZZ_KEEP_GOING:-0}
# One input running this long is a finding (a loop that input length does not bound).
inputTimeout=30
# libFuzzer's exit status when it was stopped by SIGINT.
interruptedStatus=72

for number in "$seconds" "$jobs" "$corpusCapKb"; do
  if ! [[ $number =~ ^[1-9][0-9]*$ ]]; then
    echo "fuzz: FUZZ_SECONDS, FUZZ_JOBS and FUZZ_CORPUS_KB take whole numbers above 0 (got '$number')" >&2
    exit 2
  fi
done

if [ -n "${FUZZ_TARGETS:-}" ]; then
  read -r -a targets <<<"$FUZZ_TARGETS"
else
  targets=()
  for source in tests/fuzz/*_fuzz.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi
for target in "${targets[@]}"; do
  if [ ! -f "tests/fuzz/$target.cpp" ]; then
    echo "fuzz: no harness tests/fuzz/$target.cpp" >&2
    exit 2
  fi
done

cmake --preset fuzz >/dev/null || exit 1
cmake --build build/fuzz -j "$(nproc)" --target "${targets[@]}" || exit 1

bin=$root/build/fuzz/bin
runs=$root/build/fuzz/fuzz-run
findings=$root/build/fuzz/findings
corpora=$root/tests/fuzz/corpus
rm -rf "$runs"
mkdir -p "$runs" "$findings"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

# Files libFuzzer names by their SHA-1 are its own; every other name (a seed, a regression input)
# was put there by hand and stays.
is_generated() { [[ $(basename "$1") =~ ^[0-9a-f]{40}$ ]]; }

# The bytes the files hold, in KB rounded up (not the disk blocks they take).
size_kb() { find "$1" -type f -printf '%s\n' | awk '{sum += $1} END {print int((sum + 1023) / 1024)}'; }

# Re-chooses the generated files of the checked-in corpus from it and the run's new inputs: the
# smallest set that keeps every feature, then the largest dropped while it is over the cap.
merge_corpus() {
  local target=$1 dir=$2 kept=$corpora/$1 merged=$2/merged file
  mkdir -p "$kept" "$merged"
  for file in "$kept"/*; do
    [ -f "$file" ] && ! is_generated "$file" && cp "$file" "$merged/"
  done
  if ! "$bin/$target" -merge=1 -rss_limit_mb=2048 -timeout=$inputTimeout "$merged" "$kept" "$dir/corpus" \
      >"$dir/merge.log" 2>&1; then
    echo "fuzz: $target: merge failed, corpus left as it was (see $dir/merge.log)"
    return
  fi
  while [ "$(size_kb "$merged")" -gt "$corpusCapKb" ]; do
    file=$(find "$merged" -type f -regextype posix-egrep -regex '.*/[0-9a-f]{40}' -printf '%s %p\n' |
      sort -n | tail -1 | cut -d' ' -f2-)
    [ -n "$file" ] || break
    rm -f "$file"
  done
  for file in "$kept"/*; do
    [ -f "$file" ] && is_generated "$file" && rm -f "$file"
  done
  for file in "$merged"/*; do
    [ -f "$file" ] && is_generated "$file" && cp "$file" "$kept/"
  done
}

# Prints each reproducer the run left and keeps it under build/fuzz/findings/<target>/.
report_findings() {
  local target=$1 dir=$2 file saved
  for file in "$dir"/artifacts/{crash,leak,timeout,oom}-*; do
    [ -f "$file" ] || continue
    mkdir -p "$findings/$target"
    saved=$findings/$target/$(basename "$file")
    cp "$file" "$saved"
    echo
    echo "=== finding in $target: $saved ($(stat -c %s "$saved") bytes)"
    sed -n '/==ERROR\|runtime error:\|deadly signal\|ERROR: libFuzzer/,/SUMMARY/p' "$dir/fuzz.log" | head -60
    echo "--- input (xxd):"
    xxd "$saved" | head -64
    [ "$(stat -c %s "$saved")" -le 1024 ] || echo "... (first 1024 bytes shown)"
    echo "--- reproduce: $bin/$target $saved"
    echo "--- full log: $dir/fuzz.log"
  done
}

run_target() {
  local target=$1 dir=$runs/$1 start
  mkdir -p "$dir/corpus" "$dir/artifacts"
  echo "fuzz: $target for $seconds s"
  start=$(date +%s)
  "$bin/$target" -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=2048 -timeout=$inputTimeout \
    -artifact_prefix="$dir/artifacts/" "$dir/corpus" "$corpora/$target" >"$dir/fuzz.log" 2>&1 &
  echo $! >"$dir/pid"
  wait $!
  local status=$?
  echo $(($(date +%s) - start)) >"$dir/seconds"
  report_findings "$target" "$dir"
  merge_corpus "$target" "$dir"
  echo "$status" >"$dir/status"
  echo "fuzz: $target done (exit $status)"
}

finding_count() { find "$runs/$1/artifacts" -type f -regex '.*/\(crash\|leak\|timeout\|oom\)-.*' 2>/dev/null | wc -l; }

any_finding() {
  local dir
  for dir in "$runs"/*/; do
    [ -f "$dir/status" ] || continue
    [ "$(cat "$dir/status")" -eq 0 ] || return 0
  done
  return 1
}

interrupted=0
stop_fuzzers() {
  interrupted=1
  local pidFile
  for pidFile in "$runs"/*/pid; do
    [ -f "$pidFile" ] && kill -INT "$(cat "$pidFile")" 2>/dev/null
  done
}
trap stop_fuzzers INT TERM

for target in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n; done
  if [ $interrupted -eq 1 ] || { [ "$keepGoing" != 1 ] && any_finding; }; then break; fi
  run_target "$target" &
done
while [ "$(jobs -rp | wc -l)" -gt 0 ]; do wait -n; done

# The last status line's coverage: edges (cov) and features (ft).
stat_of() { grep -o "stat::$2: *[0-9]*" "$runs/$1/fuzz.log" | tail -1 | grep -o '[0-9]*$'; }
coverage_of() {
  grep -o "cov: [0-9]* ft: [0-9]*" "$runs/$1/fuzz.log" | tail -1 | awk '{print $2 "/" $4} END {if (NR == 0) print "-"}'
}

echo
printf '%-26s %7s %12s %13s %17s  %s\n' target seconds executions "cov/ft" "corpus" findings
failed=0
for target in "${targets[@]}"; do
  dir=$runs/$target
  if [ ! -f "$dir/status" ]; then
    printf '%-26s %7s %12s %13s %17s  %s\n' "$target" - - - - "not run"
    continue
  fi
  count=$(finding_count "$target")
  status=$(cat "$dir/status")
  result=$count
  if [ "$status" -eq $interruptedStatus ] && [ $interrupted -eq 1 ]; then
    result=interrupted
  elif [ "$status" -ne 0 ]; then
    failed=1
    [ "$count" -gt 0 ] || result="exit $status (see $dir/fuzz.log)"
  fi
  files=$(find "$corpora/$target" -type f | wc -l)
  printf '%-26s %7s %12s %13s %17s  %s\n' "$target" "$(cat "$dir/seconds")" \
    "$(stat_of "$target" number_of_executed_units || echo -)" "$(coverage_of "$target")" \
    "$files files $(size_kb "$corpora/$target") KB" "$result"
done
[ $interrupted -eq 0 ] || echo "fuzz: interrupted"
echo "Corpus changes are in tests/fuzz/corpus: review and commit them."
[ $failed -eq 0 ] && [ $interrupted -eq 0 ]
