#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A picture file as the source and the call sign on it, chosen in "station.ini": TX
# sends, through the sound server, frames of the very tone that quorrel60-codec encode
# --call makes of the same file. The picture is 2:1, so a stretched reduction shows.
# Usage: tx_sends_picture_file_with_call.sh PROGRAM CODEC CHECKER ARTIFACT_DIR (inside a session with sound)
set -euo pipefail
PROGRAM=$1
codec=$2
checker=$3
ARTIFACT_DIR=$4
source "$(dirname "$0")/session.sh"

/usr/bin/convert -size 240x120 radial-gradient:white-black \( -size 80x120 xc:gray30 \) +append \
  -fill black -draw 'circle 120,60 120,20' picture.png
frame_of() { "$codec" encode --frames 1 "$@" frame.wav && tail -c 9600 frame.wav; }
frame_of --call TE5T picture.png >expected.raw
frame_of picture.png >without-call.raw
printf '0 TX_Port\n0 VideoDriver\n380 Contrast\n140 Brightness\n10 Synclevel\nTE5T Call\n' >settings.txt
printf '[tx]\nsource=picture\npicture=%s\ncallOverlay=true\n' "$work/picture.png" >station.ini

start_program
parecord --raw --format=u8 --channels=1 --rate=11025 --latency-msec=20 recording.raw &
recorder=$!
sleep 0.5
xdotool key space  # TX on
sleep 8
xdotool key space  # TX off
sleep 2
still_running "after TX off"
kill -INT "$recorder"
wait "$recorder" || true
exit_program
cp recording.raw "$ARTIFACT_DIR/tx-picture-file-with-call.raw"

# The frames' frequency track against each frame, at worst: the call sign's box is a
# small part of the frame, so the figure without it stays high (0.915 seen, against
# 0.978 with it; a stretched picture gave 0.59): the one with the call must lead.
worst() { "$checker" recording.raw 22000 5 "$1" | sed -n 's/.*, \([0-9.]*\) at worst.*/\1/p'; }
with_call=$(worst expected.raw)
without_call=$(worst without-call.raw || true)
echo "frequency-track correlation at worst: ${with_call:-none} with the call sign, ${without_call:-none} without"
awk -v with="$with_call" -v without="${without_call:-0}" 'BEGIN { exit !(with >= 0.95 && without <= with - 0.03) }' ||
  { echo "the sent frames are not the codec's frame with the call sign" >&2; exit 1; }
