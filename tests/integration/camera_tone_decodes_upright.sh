#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The test camera's picture sent as tone: TX on with the camera connected, the
# default source records what the default sink plays, and the project's own
# receive chain (quorrel60-codec decode) must find the camera's picture in it,
# upright and not mirrored.
# Usage: camera_tone_decodes_upright.sh PROGRAM CODEC CHECKER ARTIFACT_DIR
# (inside a session with sound, with the test camera's environment)
set -euo pipefail
PROGRAM=$1
codec=$2
checker=$3
ARTIFACT_DIR=$4
source "$(dirname "$0")/session.sh"

start_program
sleep 2  # the camera's first frames
screenshot "$window" camera-preview.png
xdotool key space  # TX on: the focus starts on the TX button
sleep 2.5          # the lead-in of silence
parecord --file-format=wav --format=u8 --channels=1 --rate=11025 --latency-msec=20 recording.wav &
recorder=$!
sleep 12
kill -INT "$recorder"
wait "$recorder" || true
xdotool key space
sleep 1.5
still_running "after TX off"
exit_program

"$codec" decode recording.wav decoded.png
cp decoded.png "$ARTIFACT_DIR/camera-decoded.png"
"$checker" decoded.png
