#!/usr/bin/env bash
# With no sound server, each TX press shows "directsound init failed" and changes
# nothing else: the window stays usable and the settings written at exit are the
# defaults.
# Usage: tx_without_sound_server.sh PROGRAM ARTIFACT_DIR (inside a session without sound)
set -euo pipefail
PROGRAM=$1
ARTIFACT_DIR=$2
source "$(dirname "$0")/session.sh"

start_program
for press in 1 2; do
  xdotool key space
  answer_message "TX press $press" directsound-init-failed.png
  still_running "after TX press $press"
  xdotool windowfocus --sync "$window"
done
exit_program
expect_default_settings
echo "two TX presses, two messages, window closed with the default settings"
