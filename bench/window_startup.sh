#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Time from starting quorrel60 to its window being shown, and the program's peak
# memory, over a few runs in a private X session. Run by hand; never part of ctest.
# Usage: bench/window_startup.sh [path/to/quorrel60] [runs]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=$(realpath "${1:-$root/build/quorrel60}")
runs=${2:-5}

measure() {
  local work pid start shown peak
  work=$(mktemp -d)
  cd "$work"
  start=$(date +%s%N)
  "$program" &
  pid=$!
  until xdotool search --onlyvisible --name '^Quorrel 60line$' >/dev/null 2>&1; do sleep 0.005; done
  shown=$(date +%s%N)
  sleep 1
  peak=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  cd / && rm -rf "$work"
  printf '%d %d\n' $(((shown - start) / 1000000)) $((peak / 1024))
}
export -f measure
export program

echo "run  shown after (ms)  peak memory (MB)"
for run in $(seq "$runs"); do
  read -r ms mb < <("$root/scripts/desktop-session.sh" bash -c measure)
  printf '%3d  %17d  %16d\n' "$run" "$ms" "$mb"
done
