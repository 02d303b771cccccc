#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program's CPU use (percent of one core) in each state a user leaves it in for
# long: idle, receiving, transmitting, both (TestPic, the program hearing itself
# through the null sink) without a camera, and both again with the test camera's
# preview running (160x120, five frames a second through the frame grabber); then
# once more without a camera, the sink left to the program's own streams; and the
# peak resident memory of each run. The session's silent keep-alive stream holds the
# null sink at 10 ms blocks, as a low-latency client on a desktop would; alone, the
# sink takes the program's own large buffers, as a sound card with no other client. Real cameras are hidden, so every machine
# measures the same thing. Needs a build with tests (the test camera is a test
# fixture). Run by hand on an otherwise idle machine; never part of ctest.
# Usage: bench/cpu_figures.sh [build directory] [seconds per state]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$root/build}")
seconds=${2:-60}

if [[ ${Q60_INSIDE_SESSION:-} != 1 ]]; then
  Q60_INSIDE_SESSION=1 exec "$root/scripts/desktop-session.sh" --sound "$0" "$build" "$seconds"
fi

program=$build/quorrel60
camera_dir=$build/tests/support/test_camera/plugin
[[ -d $camera_dir ]] || { echo "cpu_figures.sh: no test camera in $camera_dir (build with -DQ60_BUILD_TESTS=ON)" >&2; exit 1; }
ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

work=$(mktemp -d)
pid=
trap 'kill $pid 2>/dev/null || true; cd /; rm -rf "$work"' EXIT
cd "$work"
export GST_PLUGIN_FEATURE_RANK=v4l2deviceprovider:NONE,pipewiredeviceprovider:NONE
export GST_REGISTRY=$work/registry.bin

start() {
  "$program" &
  pid=$!
  until window=$(xdotool search --onlyvisible --name '^Quorrel 60line$' 2>/dev/null | head -n1) && [[ -n $window ]]; do
    sleep 0.05
  done
  sleep 3  # start-up and a camera's first frames are not what is measured
  xdotool windowfocus --sync "$window"
}

# Percent of one core over the measurement, after a few seconds to settle.
measure() {
  local before after
  sleep 3
  before=$(cpu_ticks "$pid")
  sleep "$seconds"
  after=$(cpu_ticks "$pid")
  awk -v a="$before" -v b="$after" -v t="$ticks" -v s="$seconds" 'BEGIN { printf "%.2f", 100 * (b - a) / t / s }'
}

peak_mb() { awk '/VmHWM/ { printf "%.1f", $2 / 1024 }' "/proc/$pid/status"; }

stop() {
  xdotool key alt+f
  sleep 0.3
  xdotool key x
  wait "$pid"
  pid=
}

# Keys: the focus starts on TX; Tab moves it to RX; Space presses the focused button.
run_states() {
  start
  local idle rx both tx
  idle=$(measure)
  xdotool key Tab space  # RX on
  rx=$(measure)
  xdotool key alt+f Right Right Down Down Return  # TestPic
  sleep 0.3
  xdotool key shift+Tab space  # TX on
  both=$(measure)
  xdotool key Tab space  # RX off
  tx=$(measure)
  xdotool key shift+Tab space  # TX off
  sleep 1.5
  echo "$idle $rx $tx $both $(peak_mb)"
  stop
}

# The sound server's own recorder on the same monitor, as the program records it: what
# the server's packets cost any client, whatever it does with them.
parec_cpu() {
  parec -d "$(pactl get-default-sink).monitor" --format=u8 --rate=11025 --channels=1 --latency-msec=250 >/dev/null &
  pid=$!
  measure
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  pid=
}

read -r idle rx tx both peak <<<"$(run_states)"
export GST_PLUGIN_PATH=$camera_dir
read -r cam_idle cam_rx cam_tx cam_both cam_peak <<<"$(run_states)"
unset GST_PLUGIN_PATH
parec=$(parec_cpu)
kill "$Q60_SOUND_KEEPALIVE_PID"
read -r alone_idle alone_rx alone_tx alone_both alone_peak <<<"$(run_states)"
alone_parec=$(parec_cpu)

echo "program CPU, percent of one core, over $seconds s in each state:"
row() { printf '  %-24s %12s %22s %20s\n' "$@"; }
row state "no camera" "test camera preview" "no camera, sink alone"
row idle "$idle" "$cam_idle" "$alone_idle"
row receiving "$rx" "$cam_rx" "$alone_rx"
row transmitting "$tx" "$cam_tx" "$alone_tx"
row "transmitting+receiving" "$both" "$cam_both" "$alone_both"
row "peak memory (MB)" "$peak" "$cam_peak" "$alone_peak"
row "parec on the monitor" "$parec" "" "$alone_parec"
