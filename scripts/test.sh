#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The test command: installs what is missing, builds, and runs every test.
# First a Release build with all tests and its Debian package (installed, checked,
# removed), then a build with AddressSanitizer and UndefinedBehaviorSanitizer that
# runs the unit, widget, codec and in-process end-to-end tests again (the end-to-end
# scripts, the long run and the full line-phase sweep run in the Release pass only),
# then ThreadSanitizer over the tests that start threads, then the fuzz targets
# (scripts/fuzz.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

"$root/scripts/install-deps.sh" --tests

build_and_test() {
  local dir=$1
  shift
  cmake -S "$root" -B "$dir" -G Ninja "$@"
  cmake --build "$dir" --parallel "$jobs"
  ctest --test-dir "$dir" --output-on-failure --parallel "$jobs"
}

build_and_test "$root/build" -DCMAKE_BUILD_TYPE=Release -DQ60_BUILD_TESTS=ON -DQ60_BUILD_BENCH=ON -DQ60_SLOW_TESTS=ON

# The Debian package from that Release build: installed, checked and removed again.
"$root/scripts/package-test.sh" "$root/build"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$root/tests/support/lsan.supp:print_suppressions=0
build_and_test "$root/build-asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQ60_SANITIZE=address,undefined -DQ60_BUILD_TESTS=ON -DQ60_BUILD_BENCH=OFF -DQ60_SLOW_TESTS=OFF

# Then ThreadSanitizer over the unit tests that start the transmit feeder on a
# thread of its own (label "threads"). Only their targets are built: ctest would
# count the other targets' tests as not run.
export TSAN_OPTIONS=halt_on_error=1
tsan=$root/build-tsan
cmake -S "$root" -B "$tsan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQ60_SANITIZE=thread -DQ60_BUILD_TESTS=ON -DQ60_BUILD_BENCH=OFF -DQ60_SLOW_TESTS=OFF
cmake --build "$tsan" --parallel "$jobs" --target q60_tx_tests q60_app_tests
ctest --test-dir "$tsan" --output-on-failure --parallel "$jobs" -L threads

# Last, libFuzzer over the program's input parsers (the settings file, the coefficient
# files, the codec's audio and picture input), built with clang in build-fuzz/: a
# bounded number of runs per target over its seed corpus.
"$root/scripts/fuzz.sh"

echo "All tests passed."
