#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The run command: installs what is missing, builds the program and starts it.
# It keeps "settings.txt" in the directory it is started from.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQ60_BUILD_TESTS=OFF -DQ60_BUILD_BENCH=OFF
cmake --build "$root/build" --parallel "$(nproc)" --target quorrel60
exec "$root/build/quorrel60"
