#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The fuzz step of the test command: builds the libFuzzer targets of fuzz/ with clang
# (AddressSanitizer + UndefinedBehaviorSanitizer) in build-fuzz/ and runs each for a
# bounded number of executions over a copy of its seed corpus in fuzz/corpus/, so the
# repository never receives the inputs a run finds. Fails on any crash, failed check,
# leak, timeout, memory blow-up or sanitizer report; the input that did it is kept in
# build-fuzz/artifacts/. Usage: scripts/fuzz.sh [runs]   (executions per target), or
# scripts/fuzz.sh --build-only.
# Q60_FUZZ_SEED picks libFuzzer's random seed (default 1, so every run is the same).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-}
seed=${Q60_FUZZ_SEED:-1}
build=$root/build-fuzz
[[ -z $runs || $runs == --build-only || $runs =~ ^[0-9]+$ ]] ||
  { echo "usage: scripts/fuzz.sh [runs | --build-only]" >&2; exit 2; }

# Line tables are enough for the reports' file and line, and build much faster.
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DQ60_BUILD_FUZZ=ON
cmake --build "$build" --parallel "$(nproc)"
[[ $runs == --build-only ]] && exit 0

# In memory where there is room: the settings target writes (and fsyncs) a file each run.
work=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR=$work  # the targets' scratch working directories
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:symbolize=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=print_suppressions=0
artifacts=$build/artifacts
rm -rf "$artifacts"
mkdir -p "$artifacts"

# Name of the target, its corpus folder, the largest input in bytes, and its
# executions unless given: about 20 s each, fewer for the slower picture and audio
# decoders.
targets=(
  "q60_fuzz_settings settings 512 50000"
  "q60_fuzz_coefficients coefficients 1024 50000"
  "q60_fuzz_audio audio 8192 30000"
  "q60_fuzz_image image 8192 15000"
)

# One target over a copy of its corpus; its summary line goes to $work/NAME.line, and
# the end of its log too if it failed.
fuzz_one() {
  local name=$1 corpus=$2 maxLen=$3 runs=$4
  mkdir -p "$work/corpus-$corpus"
  cp "$root/fuzz/corpus/$corpus/"* "$work/corpus-$corpus/"
  local log=$work/$name.log started=$EPOCHREALTIME
  # -close_fd_mask=2: the code under test reports bad files on stderr by design; libFuzzer
  # and the sanitizers keep writing to the real stderr, which goes to the log.
  # -keep_seed=1: the decoders in libsndfile and Qt are not instrumented, so many seeds
  # (one per file format) look alike to libFuzzer; each is kept to be mutated.
  local dict=()
  [[ -f $root/fuzz/$corpus.dict ]] && dict=(-dict="$root/fuzz/$corpus.dict")
  local status=0
  "$build/fuzz/$name" "${dict[@]}" -runs="$runs" -seed="$seed" -max_len="$maxLen" -timeout=10 -rss_limit_mb=2048 \
    -close_fd_mask=2 -keep_seed=1 -print_final_stats=1 -artifact_prefix="$artifacts/$name-" \
    "$work/corpus-$corpus" >"$log" 2>&1 || status=$?
  local seconds executions coverage memory line
  seconds=$(awk -v a="$started" -v b="$EPOCHREALTIME" 'BEGIN { print b - a }')
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -1 || true)
  memory=$(sed -n 's/^stat::peak_rss_mb: *//p' "$log")
  line=$(printf '%-22s %7s executions in %5.1f s (%s, corpus %s files, peak %s MB)' "$name" "${executions:-?}" \
    "$seconds" "${coverage:-cov: ?}" "$(ls "$work/corpus-$corpus" | wc -l)" "${memory:-?}")
  if [[ $status -ne 0 || -z $executions ]]; then
    { echo "FAILED: $line (exit $status); the end of its log:"; tail -n 60 "$log"; } >"$work/$name.failed"
  fi
  echo "$line" >"$work/$name.line"
}

# As many targets at a time as there are cores.
running=0
for entry in "${targets[@]}"; do
  read -r name corpus maxLen defaultRuns <<<"$entry"
  fuzz_one "$name" "$corpus" "$maxLen" "${runs:-$defaultRuns}" &
  running=$((running + 1))
  if ((running >= $(nproc))); then
    wait -n
    running=$((running - 1))
  fi
done
wait

failed=()
for entry in "${targets[@]}"; do
  read -r name _ <<<"$entry"
  cat "$work/$name.line"
  if [[ -f $work/$name.failed ]]; then
    cat "$work/$name.failed"
    failed+=("$name")
  fi
done
if [[ ${#failed[@]} -gt 0 ]]; then
  echo "Fuzzing failed: ${failed[*]}; the inputs are in $artifacts (run the target on one to see it again)."
  exit 1
fi
echo "Fuzzing found nothing in ${#targets[@]} targets."
