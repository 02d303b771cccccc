#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# In an empty directory the program starts, ignores Escape, and ends with status 0
# through File > Exit chosen by keys, leaving "settings.txt" with the six defaults.
# Usage: window_closes_through_file_exit.sh PROGRAM ARTIFACT_DIR (inside a desktop session)
set -euo pipefail
PROGRAM=$1
ARTIFACT_DIR=$2
source "$(dirname "$0")/session.sh"

start_program
screenshot "$window" main-window.png

xdotool key Escape
sleep 0.5
still_running "Escape closed the window"
[[ ! -e settings.txt ]] || { echo "settings written before exit" >&2; exit 1; }

exit_program
expect_default_settings
echo "window found, Escape ignored, File > Exit wrote the six default lines, status 0"
