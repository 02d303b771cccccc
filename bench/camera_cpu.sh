#!/usr/bin/env bash
# The camera's cost in the real program: its CPU use (percent of one core) idle with
# no camera at all, then with the test camera's preview running (160x120, five frames
# a second handed to the frame grabber), then with the preview and TX on. Real cameras
# are hidden, so every machine measures the same thing. Needs a build with tests (the
# test camera is a test fixture). Run by hand; never part of ctest.
# Usage: bench/camera_cpu.sh [build directory] [seconds]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$root/build}")
seconds=${2:-60}

if [[ ${Q60_INSIDE_SESSION:-} != 1 ]]; then
  Q60_INSIDE_SESSION=1 exec "$root/scripts/desktop-session.sh" --sound "$0" "$build" "$seconds"
fi

program=$build/quorrel60
camera_dir=$build/tests/support/test_camera/plugin
[[ -d $camera_dir ]] || { echo "camera_cpu.sh: no test camera in $camera_dir (build with -DQ60_BUILD_TESTS=ON)" >&2; exit 1; }
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
  sleep 3  # start-up and the camera's first frames are not what is measured
  xdotool windowfocus --sync "$window"
}

# Percent of one core over the measurement.
measure() {
  local before after
  before=$(cpu_ticks "$pid")
  sleep "$seconds"
  after=$(cpu_ticks "$pid")
  awk -v a="$before" -v b="$after" -v t="$ticks" -v s="$seconds" 'BEGIN { printf "%.2f", 100 * (b - a) / t / s }'
}

stop() {
  xdotool key alt+f
  sleep 0.3
  xdotool key x
  wait "$pid"
  pid=
}

start
no_camera=$(measure)
stop

export GST_PLUGIN_PATH=$camera_dir
start
preview=$(measure)
xdotool key space  # TX on: the focus starts on the TX button
sleep 3
transmitting=$(measure)
xdotool key space
sleep 1.5
stop

echo "program CPU over $seconds s, percent of one core:"
echo "  no camera:                       $no_camera"
echo "  test camera preview (160x120):   $preview"
echo "  preview with TX on:              $transmitting"
