#!/usr/bin/env bash
# The sound server killed while transmitting: the program neither crashes nor hangs;
# the next TX press stops transmission, a later one finds no server and says so,
# and File > Exit still ends the program with its settings written.
# Usage: tx_survives_sound_server_loss.sh PROGRAM ARTIFACT_DIR (inside a session with sound)
set -euo pipefail
PROGRAM=$1
ARTIFACT_DIR=$2
source "$(dirname "$0")/session.sh"

start_program
xdotool key space
sleep 3
kill "$Q60_SOUND_SERVER_PID"
sleep 1
still_running "when the sound server went away"
xdotool key space
sleep 1.5
still_running "TX off after the sound server went away"
xdotool key space
answer_message "TX on without a sound server" tx-after-server-loss.png
xdotool windowfocus --sync "$window"
exit_program
expect_default_settings
echo "server killed while transmitting: TX off, TX on refused with the message, clean exit"
