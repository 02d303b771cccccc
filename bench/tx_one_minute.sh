#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A transmission of the test ramp into a private PulseAudio null sink for a given
# time (one minute by default): the underruns the sound server logs for the
# program's stream, the feeder thread's CPU time, and the program's CPU use while
# transmitting. Run by hand; never part of ctest.
# Usage: bench/tx_one_minute.sh [path/to/quorrel60] [seconds]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=$(realpath "${1:-$root/build/quorrel60}")
seconds=${2:-60}

if [[ ${Q60_INSIDE_SESSION:-} != 1 ]]; then
  Q60_INSIDE_SESSION=1 Q60_SOUND_LOG_LEVEL=debug \
    exec "$root/scripts/desktop-session.sh" --sound "$0" "$program" "$seconds"
fi

ticks=$(getconf CLK_TCK)
# utime + stime of a process or thread, in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "$1/stat"; }

work=$(mktemp -d)
cd "$work"
"$program" &
pid=$!
until window=$(xdotool search --onlyvisible --name '^Quorrel 60line$' 2>/dev/null | head -n1) && [[ -n $window ]]; do
  sleep 0.05
done
sleep 0.5
xdotool windowfocus --sync "$window" key alt+f Right Right Down Down Return
sleep 0.3
threads_before=$(ls "/proc/$pid/task")
xdotool key space
sleep 3  # past the lead-in: the first frames are written
start=$(cpu_ticks "/proc/$pid")
sleep "$seconds"
end=$(cpu_ticks "/proc/$pid")
# The feeder is the thread of the program's own name that TX on started.
feeder=
for task in $(ls "/proc/$pid/task"); do
  grep -qx "$task" <<<"$threads_before" && continue
  [[ $(cat "/proc/$pid/task/$task/comm") == quorrel60 ]] && feeder=$task
done
# Nanoseconds on a CPU: clock ticks are too coarse for the feeder.
feeder_ns=$(awk '{ print $1 }' "/proc/$pid/task/$feeder/schedstat")
xdotool key space
sleep 1.5
xdotool key alt+f x
wait "$pid"
cd / && rm -rf "$work"

underruns=$(grep -c "underrun of 'Transmit" "$XDG_RUNTIME_DIR/pulse.log" || true)
awk -v s="$seconds" -v a="$start" -v b="$end" -v f="$feeder_ns" -v t="$ticks" -v u="$underruns" 'BEGIN {
  printf "transmitting %d s: %d underruns, program CPU %.2f %% of one core, feeder thread CPU %.1f ms in all\n",
    s, u, 100 * (b - a) / t / s, f / 1e6
}'
