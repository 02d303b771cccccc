#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# With no sound server, each TX press shows "directsound init failed" and each RX
# press "directsound start record failed", and nothing else changes: the window
# stays usable (TestPic chosen twice, a drag of the brightness thumb sets the
# brightness) and File > Exit writes exactly that to "settings.txt".
# Usage: no_sound_server.sh PROGRAM ARTIFACT_DIR (inside a session without sound)
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

xdotool windowfocus --sync "$window"
choose_test_picture
choose_test_picture
still_running "after TestPic on and off"
xdotool windowfocus --sync "$window"
drag_brightness_thumb_right 45
still_running "after the drag"
exit_program
expect_settings $'0 TX_Port\n0 VideoDriver\n380 Contrast\n250 Brightness\n10 Synclevel\nNOCALL Call'
echo "two TX and two RX presses, four messages, TestPic on and off, brightness dragged to 250 and saved"
