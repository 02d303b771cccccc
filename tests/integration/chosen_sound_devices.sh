#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The station's own sound card, through station.ini's [audio] group, on a real sound
# server with two more null sinks, "radio" and "desktop" (the default stays nullsink):
# with output=radio the tone is on radio's monitor and nowhere else; txLevelDb=-20
# plays 20 dB below 0 dB; input=radio.monitor records from that monitor; a chosen
# output that is absent at TX on gives the specified message naming it and no tone
# anywhere; the chosen output unloaded while transmitting turns TX off with the
# message, and the program goes on.
# Usage: chosen_sound_devices.sh PROGRAM ARTIFACT_DIR (inside a session with sound)
set -euo pipefail
PROGRAM=$1
ARTIFACT_DIR=$2
source "$(dirname "$0")/session.sh"

radio=$(pactl load-module module-null-sink sink_name=radio rate=44100)
pactl load-module module-null-sink sink_name=desktop rate=44100 >/dev/null

# The RMS level in dB (full scale 0) of two seconds recorded from a source.
level_db() {
  parecord --device="$1" --raw --format=s16le --channels=1 --rate=11025 --latency-msec=20 level.raw &
  local recorder=$!
  sleep 2
  kill -INT "$recorder"
  wait "$recorder" || true
  od -An -v -td2 level.raw | awk '{ for (i = 1; i <= NF; i++) { d = $i / 32768; s += d * d; n++ } }
                                  END { printf "%.2f", n && s ? 10 * log(s / n) / log(10) : -99 }'
}

station() { printf '[audio]\noutput=%s\ninput=%s\ntxLevelDb=%s\n[later]\nkept=yes\n' "$1" "$2" "$3" >station.ini; }

# TX on, past the lead-in of silence; then the level on radio's and desktop's monitors.
transmit_and_measure() {
  xdotool key space
  expect_no_message "TX on with output=radio"
  sleep 2.5
  radio_db=$(level_db radio.monitor)
  desktop_db=$(level_db desktop.monitor)
  xdotool key space
  sleep 1.5
}

station radio radio.monitor 0
start_program
choose_test_picture
transmit_and_measure
full_db=$radio_db
awk -v r="$radio_db" -v d="$desktop_db" 'BEGIN { exit !(r > -20 && d < -60) }' ||
  { echo "output=radio: radio $radio_db dB, desktop $desktop_db dB" >&2; exit 1; }
xdotool key Tab space  # RX on
expect_no_message "RX on with input=radio.monitor"
pactl list source-outputs | grep -q "Source: $(pactl list short sources | awk '$2 == "radio.monitor" { print $1 }')$" ||
  { echo "RX does not record from radio.monitor" >&2; exit 1; }
xdotool key space shift+Tab  # RX off, focus back on TX
exit_program
grep -q '^kept=yes$' station.ini || { echo "station.ini lost a key it did not know" >&2; exit 1; }

station radio "" -20
start_program
choose_test_picture
transmit_and_measure
drop=$(awk -v a="$full_db" -v b="$radio_db" 'BEGIN { printf "%.2f", a - b }')
awk -v d="$drop" 'BEGIN { exit !(d > 19.5 && d < 20.5) }' || { echo "txLevelDb=-20 played $drop dB lower" >&2; exit 1; }

# Gone while transmitting: TX goes off with the message; the program goes on.
xdotool key space
sleep 2.5
pactl unload-module "$radio"
answer_message "output unloaded while transmitting" output-gone.png
still_running "after the output was unloaded"
plays() { pactl list short sink-inputs | grep -q 'u8 1ch 11025Hz'; }
plays && { echo "a stream still plays after the output went" >&2; exit 1; }

# Absent at TX on: the message again, and no stream plays anywhere.
xdotool windowfocus --sync "$window" key space
answer_message "TX on with the output absent" output-absent.png
plays && { echo "TX played with its output absent" >&2; exit 1; }
xdotool windowfocus --sync "$window"
exit_program
echo "output=radio: radio $full_db dB, desktop below -60 dB; txLevelDb=-20: $drop dB lower; absent and unloaded output refused"
