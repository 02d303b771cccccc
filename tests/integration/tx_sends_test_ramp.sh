#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# TestPic on, TX on for eight seconds while the default source records what the
# default sink plays, then TX off: the recording must hold the lead-in's silence,
# then whole test-ramp frames back to back, then silence again.
# Usage: tx_sends_test_ramp.sh PROGRAM CHECKER ARTIFACT_DIR (inside a session with sound)
set -euo pipefail
PROGRAM=$1
checker=$2
ARTIFACT_DIR=$3
source "$(dirname "$0")/session.sh"

start_program
choose_test_picture
parecord --raw --format=u8 --channels=1 --rate=11025 --latency-msec=20 recording.raw &
recorder=$!
sleep 0.5
xdotool key space
sleep 8
screenshot "$window" transmitting.png
xdotool key space
sleep 2
still_running "after TX off"
kill -INT "$recorder"
wait "$recorder" || true
exit_program
cp recording.raw "$ARTIFACT_DIR/tx-test-ramp.raw"

# The press came half a second into the recording and the lead-in is one buffer
# (22500 samples) long; eight seconds on leave room for five whole frames.
"$checker" recording.raw 22000 5
