#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SIGTERM while transmitting ends the program as closing its window does: RTS and DTR
# fall before the tone stops (at no moment is the program's stream gone while the
# lines are still up), the port is closed, the settings are written with the slider
# moved during the run, and the status is 0.
# Usage: end_signal_while_transmitting.sh PROGRAM RECORDER ARTIFACT_DIR (inside a session
# with sound; PROGRAM keys a pseudo-terminal as COM 1, RECORDER is the modem-lines recorder)
set -euo pipefail
PROGRAM=$1
recorder=$2
ARTIFACT_DIR=$3
source "$(dirname "$0")/session.sh"

lines_log=$work/lines.log
program_runner=(env "LD_PRELOAD=$recorder" "Q60_MODEM_LINES_LOG=$lines_log")
# Under AddressSanitizer the recorder may not come first among the libraries.
[[ -n ${ASAN_OPTIONS:-} ]] && program_runner+=("ASAN_OPTIONS=$ASAN_OPTIONS:verify_asan_link_order=0")

# The lines' events in order, without the device's path.
line_events() { cut -d' ' -f2- "$lines_log" 2>/dev/null | paste -sd, -; }

# True while the sound server plays an uncorked stream of the program's.
program_sounds() {
  pactl list sink-inputs 2>/dev/null | awk -v pid="$pid" '
    /^Sink Input #/ { corked = "" }
    /^[ \t]*Corked:/ { corked = $2 }
    index($0, "application.process.id = \"" pid "\"") && corked == "no" { found = 1 }
    END { exit !found }'
}

printf '1 TX_Port\n0 VideoDriver\n380 Contrast\n140 Brightness\n10 Synclevel\nNOCALL Call\n' >settings.txt
start_program
choose_test_picture
xdotool key space
sleep 3  # past the lead-in's buffer of silence
[[ $(line_events) == "RTS 0,DTR 0,RTS 0,DTR 0,RTS 1,DTR 1" ]] ||
  { echo "not keyed on COM 1: $(line_events)" >&2; exit 1; }
program_sounds || { echo "no stream of the program's is playing" >&2; exit 1; }
drag_brightness_thumb_right 45
screenshot "$window" transmitting-before-sigterm.png

kill -TERM "$pid"
polls=0
while kill -0 "$pid" 2>/dev/null; do
  # The stream first, then the lines: a stream seen gone with the lines seen up
  # afterwards means the tone stopped while the radio was keyed.
  if ! program_sounds && [[ $(line_events) != *"RTS 1,DTR 1,RTS 0,DTR 0"* ]] && kill -0 "$pid" 2>/dev/null; then
    echo "the tone stopped while the lines were up: $(line_events)" >&2
    exit 1
  fi
  polls=$((polls + 1))
  sleep 0.02
done
status=0
wait "$pid" || status=$?
pid=
[[ $status -eq 0 ]] || { echo "SIGTERM ended the program with status $status" >&2; exit 1; }
# Enough looks that the order was seen, not guessed (each look asks the sound server).
((polls >= 5)) || { echo "only $polls looks while the program ended" >&2; exit 1; }
[[ $(line_events) == "RTS 0,DTR 0,RTS 0,DTR 0,RTS 1,DTR 1,RTS 0,DTR 0,closed" ]] ||
  { echo "lines: $(line_events)" >&2; exit 1; }
expect_settings $'1 TX_Port\n0 VideoDriver\n380 Contrast\n250 Brightness\n10 Synclevel\nNOCALL Call'
echo "unkeyed before the tone stopped ($polls looks), port closed, settings written, status 0"
