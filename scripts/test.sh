#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The test command: installs what is missing, builds, and runs every test once.
#  1. A Release build of the program, the codec and the end-to-end tests. Its end-to-end
#     scripts, the long run and the full line-phase sweep mostly wait on the real
#     servers, so they run in the background while the rest is built.
#  2. Its Debian package: installed, checked and removed again.
#  3. A build with AddressSanitizer and UndefinedBehaviorSanitizer that runs the unit,
#     widget and codec tests and the end-to-end tests inside one test program.
#  4. ThreadSanitizer over the tests that start threads.
#  5. The fuzz targets (scripts/fuzz.sh).
# The builds after the first run at the lowest priority beside the tests, whose sound
# and timing must not wait for a compiler: the Release tests beside the sanitizer
# build, the sanitizer tests beside the ThreadSanitizer and fuzz builds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

"$root/scripts/install-deps.sh" --tests
# Where the time goes, in seconds since the start.
mark() { echo "== test command: $1 at $SECONDS s"; }

release=$root/build
cmake -S "$root" -B "$release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQ60_BUILD_TESTS=ON -DQ60_BUILD_BENCH=ON \
  -DQ60_FAST_TESTS=OFF -DQ60_SLOW_TESTS=ON
cmake --build "$release" --parallel "$jobs"
mark "Release build done"

# Four at a time: most of them sleep while the servers play.
release_log=$release/ctest-background.log
ctest --test-dir "$release" --output-on-failure --parallel 4 >"$release_log" 2>&1 &
release_tests=$!
release_status() {
  local status=0
  wait "$release_tests" || status=$?
  cat "$release_log"
  [[ $status -eq 0 ]] || { echo "The Release pass failed (above)."; exit "$status"; }
}
trap 'kill "$release_tests" ${later_builds:-} 2>/dev/null || true' EXIT

"$root/scripts/package-test.sh" "$release"

# The sanitizer builds keep line tables only: enough for a report's file and line, and
# much faster to build than full debugging information. The tests' own code is built
# without optimisation, in about half the time; the code under test keeps -O2.
sanitizer_configure() {
  local dir=$1
  shift
  nice -n 19 cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DQ60_TEST_COMPILE_OPTIONS=-O0 -DQ60_BUILD_TESTS=ON \
    -DQ60_BUILD_BENCH=OFF -DQ60_FAST_TESTS=ON -DQ60_SLOW_TESTS=OFF "$@"
}

asan=$root/build-asan
sanitizer_configure "$asan" -DQ60_SANITIZE=address,undefined
nice -n 19 cmake --build "$asan" --parallel "$jobs"
mark "sanitizer build done"
release_status
mark "Release tests done"

# The ThreadSanitizer build and the fuzz targets' build use what the sanitizer tests
# leave of the processors. ThreadSanitizer takes only the unit tests that start the
# transmit feeder on a thread of its own (label "threads"): ctest would count the other
# targets' tests as not run.
tsan=$root/build-tsan
later_builds_log=$root/build-tsan-and-fuzz.log
(
  sanitizer_configure "$tsan" -DQ60_SANITIZE=thread
  nice -n 19 cmake --build "$tsan" --parallel "$jobs" --target q60_tx_tests q60_app_tests
  nice -n 19 "$root/scripts/fuzz.sh" --build-only
) >"$later_builds_log" 2>&1 &
later_builds=$!

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$root/tests/support/lsan.supp:print_suppressions=0
ctest --test-dir "$asan" --output-on-failure --parallel "$jobs"
mark "sanitizer tests done"

wait "$later_builds" || { cat "$later_builds_log"; echo "The ThreadSanitizer or fuzz build failed (above)."; exit 1; }
mark "ThreadSanitizer and fuzz builds done"
export TSAN_OPTIONS=halt_on_error=1
ctest --test-dir "$tsan" --output-on-failure --parallel "$jobs" -L threads
mark "ThreadSanitizer tests done"

# Last, libFuzzer over the program's input parsers (the settings file, the coefficient
# files, the codec's audio and picture input), built with clang in build-fuzz/: a
# bounded number of runs per target over its seed corpus.
"$root/scripts/fuzz.sh"
mark "fuzzing done"

echo "All tests passed."
