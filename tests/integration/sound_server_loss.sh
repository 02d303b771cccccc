#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The sound server killed while transmitting and receiving: the program neither
# crashes nor hangs; TX and RX each stop as usual, a later press of either finds
# no server and says so, and File > Exit still ends the program with its settings
# written.
# Usage: sound_server_loss.sh PROGRAM ARTIFACT_DIR (inside a session with sound)
set -euo pipefail
PROGRAM=$1
ARTIFACT_DIR=$2
source "$(dirname "$0")/session.sh"

start_program
xdotool key space      # TX on
sleep 0.3
xdotool key Tab space  # RX on
sleep 3
kill "$Q60_SOUND_SERVER_PID"
sleep 1.5              # three ticks that find nothing new
still_running "when the sound server went away"
turn_both_off_and_expect_refusals "after the sound server went away" after-server-loss
exit_program
expect_default_settings
echo "server killed while transmitting and receiving: both off, both refused with their message, clean exit"
