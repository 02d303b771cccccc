#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The developers' inner loop: builds the Release build in build/ and runs its unit,
# widget and codec tests, under two minutes once built. The end-to-end scripts, the
# long run, the full line-phase sweep and the sanitizer passes are left to
# scripts/test.sh. Further arguments go to ctest (for example -R PttControl).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQ60_FAST_TESTS=ON >/dev/null
cmake --build "$root/build" --parallel "$jobs"
ctest --test-dir "$root/build" --output-on-failure --parallel "$jobs" -L 'unit|widget|tools' "$@"
