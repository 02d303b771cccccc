#!/usr/bin/env bash
# With no sound server, each TX press shows "directsound init failed" and each RX
# press "directsound start record failed", and nothing else changes: the window
# stays usable and the settings written at exit are the defaults.
# Usage: sound_without_server.sh PROGRAM ARTIFACT_DIR (inside a session without sound)
set -euo pipefail
PROGRAM=$1
ARTIFACT_DIR=$2
source "$(dirname "$0")/session.sh"

start_program
for press in 1 2; do
  xdotool key space
  answer_message "TX press $press" directsound-init-failed.png
  still_running "after TX press $press"
  xdotool windowfocus --sync "$window" key Tab space
  answer_message "RX press $press" directsound-start-record-failed.png
  still_running "after RX press $press"
  xdotool windowfocus --sync "$window" key shift+Tab
done
exit_program
expect_default_settings
echo "two TX and two RX presses, four messages, window closed with the default settings"
