#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program transmitting and receiving its own test ramp for a given number of
# minutes, as a user checks a station with no radio, by the README's loopback: the
# default sink's monitor as the default source and no other sound client (the
# session's keep-alive stream is stopped, so the server runs at its own pace).
# TestPic, TX on, RX on. Fails on any underrun of the program's playback stream, on a
# received picture that has not settled on the ramp, strays from it or moves sideways
# (its line syncs at other columns than when it settled), on memory growth over 2 MB from the first
# sample (after settling, 60 s in at the earliest) to the last, on a receiver no
# longer receiving at the end, and on an exit other than File > Exit with status 0.
# Prints the figures and keeps them, with screenshots, in ARTIFACT_DIR.
# Usage: long_run.sh [MINUTES [PROGRAM CHECKER ARTIFACT_DIR]]
#   (defaults: 3 minutes, build/quorrel60, build/tests/integration/long_run_picture_check,
#   build/test-artifacts); it starts its own desktop session with sound.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
minutes=${1:-3}
PROGRAM=$(realpath "${2:-$root/build/quorrel60}")
checker=$(realpath "${3:-$root/build/tests/integration/long_run_picture_check}")
ARTIFACT_DIR=$(realpath -m "${4:-$root/build/test-artifacts}")
# Settling takes up to 100 s and readings follow it: shorter runs would measure nothing.
[[ $minutes =~ ^[0-9]+$ ]] && ((minutes >= 2)) || { echo "long_run.sh: give whole minutes, 2 or more" >&2; exit 2; }

if [[ -z ${Q60_SOUND_SERVER_PID:-} ]]; then
  Q60_SOUND_LOG_LEVEL=debug exec "$root/scripts/desktop-session.sh" --sound \
    "$0" "$minutes" "$PROGRAM" "$checker" "$ARTIFACT_DIR"
fi
source "$(dirname "$0")/session.sh"

run_seconds=$((minutes * 60))
settle_deadline=100  # s after RX on: the longest settling seen from a bad start is about 75 s
first_sample_at=60   # s after RX on, or when settled if that is later
check_every=15       # s between readings of the picture once settled
growth_limit_kb=2048
pulse_log=$XDG_RUNTIME_DIR/pulse.log
figures=$ARTIFACT_DIR/long-run-figures.txt
before=$ARTIFACT_DIR/long-run-before.png
shot=long-run-window.png

# Without debug lines the server would not log underruns either, and none would be counted.
grep -q '^D: ' "$pulse_log" || { echo "the sound server does not log at debug level" >&2; exit 1; }

# Q60_LONG_RUN_WITH_CLIENT=1 keeps it, as a desktop with a low-latency client would.
[[ ${Q60_LONG_RUN_WITH_CLIENT:-0} == 1 ]] || kill "$Q60_SOUND_KEEPALIVE_PID"
pactl set-default-source "$(pactl get-default-sink).monitor"

ticks_per_second=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
status_kb() { awk -v key="$1:" '$1 == key { print $2 }' "/proc/$pid/status"; }
now() { date +%s.%N; }
# Every underrun counts, those of the first seconds too: the stream starts on a full
# buffer (silence leads in) and no run has logged one at its start.
underruns() { grep -c "underrun of 'Transmit" "$pulse_log" || true; }
report() { echo "$*" | tee -a "$figures"; }
since_rx() { echo $((SECONDS - rx_on)); }

# A screenshot of the whole window, checked; the checker's status is returned.
reading=
read_picture() {
  screenshot "$window" "$shot"
  local status=0
  reading=$("$checker" "$before" "$ARTIFACT_DIR/$shot") || status=$?
  [[ $status -ne 2 ]] || { echo "the picture check could not run" >&2; exit 1; }
  return "$status"
}

fail() {
  report "FAIL: $*"
  grep -n "underrun of 'Transmit" "$pulse_log" >"$ARTIFACT_DIR/long-run-underruns.txt" || true
  exit 1
}

: >"$figures"
start_program
screenshot "$window" long-run-before.png
choose_test_picture
xdotool key space      # TX on: the focus starts on the TX button
sleep 0.3
xdotool key Tab space  # RX on
rx_on=$SECONDS
report "long run of $minutes min: TestPic, TX and RX on"

# Settled: two readings in a row, three seconds apart, on the ramp.
passes=0
settled_at=
while ((SECONDS - rx_on < settle_deadline)); do
  sleep 3
  still_running "while the line phase settled"
  if read_picture; then
    passes=$((passes + 1))
    if ((passes == 2)); then settled_at=$(since_rx); break; fi
  else
    passes=0
  fi
done
[[ -n $settled_at ]] || fail "the picture did not settle on the test ramp within $settle_deadline s of RX on: $reading"
report "settled $settled_at s after RX on: $reading"
columns() { sed -E 's/.*begin at columns ([^;]*);.*/\1/' <<<"$1"; }
settled_columns=$(columns "$reading")

(( $(since_rx) >= first_sample_at )) || sleep $((first_sample_at - $(since_rx)))
still_running "before the first sample"
first_at=$(since_rx)
first_time=$(now)
first_cpu=$(cpu_ticks)
first_rss=$(status_kb VmRSS)
first_underruns=$(underruns)
report "at $first_at s: VmRSS $first_rss kB, underruns since start $first_underruns"
((first_underruns == 0)) || fail "$first_underruns underruns before the first sample"

# The picture read every check_every seconds up to the end; the worst figures are kept.
readings=0
worst_mean=0
worst_value=0
while (( $(since_rx) + check_every <= run_seconds )); do
  sleep "$check_every"
  still_running "$(since_rx) s after RX on"
  read_picture || fail "$(since_rx) s after RX on: $reading"
  [[ $(columns "$reading") == "$settled_columns" ]] || fail "$(since_rx) s after RX on, the picture moved: $reading"
  readings=$((readings + 1))
  read -r mean worst < <(sed -E 's/.*mean ([0-9.]+), worst ([0-9.]+).*/\1 \2/' <<<"$reading")
  worst_mean=$(awk -v a="$worst_mean" -v b="$mean" 'BEGIN { print (b > a ? b : a) }')
  worst_value=$(awk -v a="$worst_value" -v b="$worst" 'BEGIN { print (b > a ? b : a) }')
done
(( $(since_rx) >= run_seconds )) || sleep $((run_seconds - $(since_rx)))
still_running "at the end of the run"

last_at=$(since_rx)
last_time=$(now)
last_cpu=$(cpu_ticks)
last_rss=$(status_kb VmRSS)
peak_rss=$(status_kb VmHWM)
last_underruns=$(underruns)
mv "$ARTIFACT_DIR/$shot" "$ARTIFACT_DIR/long-run-receiving.png"
cpu=$(awk -v a="$first_cpu" -v b="$last_cpu" -v t="$ticks_per_second" -v s="$first_time" -v e="$last_time" \
  'BEGIN { printf "%.2f", 100 * (b - a) / t / (e - s) }')
report "at $last_at s: VmRSS $last_rss kB (growth $((last_rss - first_rss)) kB), VmHWM $peak_rss kB, underruns $last_underruns"
report "from $first_at s to $last_at s: program CPU $cpu % of one core; $readings readings of the picture, worst mean $worst_mean, worst value $worst_value"

((last_underruns == 0)) || fail "$last_underruns underruns of the program's playback stream"
((readings > 0)) || fail "no reading of the picture after settling: the run is too short"
((last_rss - first_rss <= growth_limit_kb)) || fail "memory grew by $((last_rss - first_rss)) kB"

# The receiver still working at the end: with the tone gone the picture must leave the
# ramp within a few frames (the tone stops a second after the press, and the picture
# restarts every 60 lines even without a sync); it left within 1 to 2 s in every run.
xdotool key shift+Tab space  # TX off
tx_off=$SECONDS
shot=long-run-after-tx-off.png
while read_picture; do
  ((SECONDS - tx_off < 10)) || fail "the picture still shows the ramp 10 s after TX off: RX no longer receives"
  sleep 1
done
still_running "after TX off"
report "$((SECONDS - tx_off)) s after TX off: $reading"
xdotool key Tab space        # RX off
sleep 0.5
exit_program
report "TX off, RX off, File > Exit: status 0"
