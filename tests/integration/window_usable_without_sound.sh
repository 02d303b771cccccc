#!/usr/bin/env bash
# With no sound server, after TX and RX have each said so, the rest of the window
# still answers: TestPic is chosen twice, a drag of the brightness thumb sets the
# brightness, and File > Exit writes it to "settings.txt".
# Usage: window_usable_without_sound.sh PROGRAM ARTIFACT_DIR (inside a session without sound)
set -euo pipefail
PROGRAM=$1
ARTIFACT_DIR=$2
source "$(dirname "$0")/session.sh"

start_program
xdotool key space
answer_message "TX press" no-server-tx.png
xdotool windowfocus --sync "$window" key Tab space
answer_message "RX press" no-server-rx.png
still_running "after TX and RX found no sound server"

xdotool windowfocus --sync "$window"
choose_test_picture
choose_test_picture
still_running "after TestPic on and off"

xdotool windowfocus --sync "$window"
drag_brightness_thumb_right 45
still_running "after the drag"
exit_program
expect_settings $'0 TX_Port\n0 VideoDriver\n380 Contrast\n250 Brightness\n10 Synclevel\nNOCALL Call'
echo "both messages, TestPic on and off, brightness dragged to 250 and saved"
