#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The receiver's cost in the real program, measured from outside it: a recording of
# the test ramp made by quorrel60-codec is played with paplay into a private
# PulseAudio null sink while the program receives from the source that records it
# (TX off). Prints the window thread's CPU time per 500 ms tick (each tick drains
# about 5512 samples through the receive chain and repaints the picture at every
# picture restart), next to the same thread's CPU per tick with RX off, and the
# whole program's CPU use while receiving (percent of one core). Run by hand on an
# otherwise idle machine; never part of ctest.
# Usage: bench/rx_figures.sh [path/to/quorrel60] [seconds] [path/to/quorrel60-codec]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=$(realpath "${1:-$root/build/quorrel60}")
seconds=${2:-60}
codec=$(realpath "${3:-$root/build/tools/quorrel60-codec}")
idle_seconds=10

if [[ ${Q60_INSIDE_SESSION:-} != 1 ]]; then
  Q60_INSIDE_SESSION=1 exec "$root/scripts/desktop-session.sh" --sound "$0" "$program" "$seconds" "$codec"
fi

ticks=$(getconf CLK_TCK)
# utime + stime of the whole process, in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# Nanoseconds the window thread (the process's first thread) spent on a CPU.
window_ns() { awk '{ print $1 }' "/proc/$1/task/$1/schedstat"; }

work=$(mktemp -d)
player=
pid=
trap 'kill $player $pid 2>/dev/null || true; cd /; rm -rf "$work"' EXIT
cd "$work"
# Enough tone for the measurement and the start before it, in whole frames.
frames=$(( (seconds + 15) * 11025 / 9600 + 1 ))
"$codec" encode --frames "$frames" --test-picture ramp.wav

"$program" &
pid=$!
until window=$(xdotool search --onlyvisible --name '^Quorrel 60line$' 2>/dev/null | head -n1) && [[ -n $window ]]; do
  sleep 0.05
done
sleep 1
xdotool windowfocus --sync "$window"

# The window thread with RX off: the timer still ticks, but finds nothing to do.
idle_start=$(window_ns "$pid")
sleep "$idle_seconds"
idle_end=$(window_ns "$pid")

xdotool key Tab space  # RX on
paplay ramp.wav &
player=$!
sleep 3  # the tone has arrived and the picture restarts
cpu_start=$(cpu_ticks "$pid")
window_start=$(window_ns "$pid")
sleep "$seconds"
cpu_end=$(cpu_ticks "$pid")
window_end=$(window_ns "$pid")
kill -0 "$player" 2>/dev/null || { echo "rx_figures.sh: the recording ended before the measurement" >&2; exit 1; }
kill "$player" 2>/dev/null || true
wait "$player" 2>/dev/null || true
player=

xdotool key space  # RX off
sleep 0.5
xdotool key alt+f
sleep 0.3
xdotool key x
wait "$pid"
pid=

awk -v s="$seconds" -v is="$idle_seconds" -v a="$cpu_start" -v b="$cpu_end" -v t="$ticks" \
    -v ws="$window_start" -v we="$window_end" -v is0="$idle_start" -v is1="$idle_end" 'BEGIN {
  receiving = (we - ws) / 1e6 / (2 * s)
  idle = (is1 - is0) / 1e6 / (2 * is)
  printf "receiving %d s (paplay feeding the sink, TX off): window thread %.2f ms of CPU per 500 ms tick (%.2f ms with RX off)\n",
    s, receiving, idle
  printf "program CPU while receiving: %.2f %% of one core\n", 100 * (b - a) / t / s
}'
