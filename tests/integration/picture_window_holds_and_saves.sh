#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The picture window on a played recording: once the recording has ended, the window
# still holds the last complete picture, marked as held, and Ctrl+S saves exactly the
# picture it shows into the pictures folder of "station.ini". The recording is played
# 1000 ppm fast with the clock correction automatic ([rx] ppm=auto) and the frequency
# control on: while it plays, the window's title shows the error and offset measured.
# Record Audio is on: the recording it leaves there decodes, with the same options, to
# that same picture.
# The tuning aid, stored on, is shown at start and gives the recording's level.
# Usage: picture_window_holds_and_saves.sh PROGRAM CODEC ARTIFACT_DIR (inside a session with sound)
set -euo pipefail
PROGRAM=$1
codec=$2
ARTIFACT_DIR=$3
source "$(dirname "$0")/session.sh"

# Columns of grey, dark to light: a picture the flywheel's flat grey cannot pass for.
/usr/bin/convert -size 80x60 gradient:white-black -rotate 90 -colorspace Gray -depth 8 pattern.pgm
"$codec" encode --frames 12 pattern.pgm recording.wav
printf '[pictures]\nwindow=true\nsmooth=false\nrecordAudio=true\nfolder=%s\n[rx]\nppm=auto\nafc=true\n[tuning]\nwindow=true\n' \
  "$work/kept" >station.ini

start_program
picture=$(xdotool search --onlyvisible --name '^Quorrel 60line Picture$' | head -n1)
[[ -n $picture ]] || { echo "the picture window was not shown at start" >&2; exit 1; }
tuning=$(xdotool search --onlyvisible --name '^Quorrel 60line Tuning Aid' | head -n1)
[[ -n $tuning ]] || { echo "the tuning aid was not shown at start" >&2; exit 1; }
xdotool windowmove "$tuning" 0 560  # no window manager places it: off the picture window
xdotool windowfocus --sync "$window" key Tab space  # RX on
sleep 0.5
# Played 1000 ppm fast: the WAV's bytes as raw tone at 11036 Hz (its 44-byte header
# a click before the first frame).
pacat --playback --format=u8 --channels=1 --rate=11036 recording.wav &
player=$!
trap 'kill "$player" "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT  # session.sh's, and the player
sleep 8  # about 9 frames: measured from the fourth on
title=$(xdotool getwindowname "$picture")
echo "picture window while receiving: $title"
[[ $title =~ ^Quorrel\ 60line\ Picture\ -\ clock\ ([+-][0-9]+\.[0-9])\ ppm,\ offset\ ([+-][0-9]+\.[0-9])\ Hz$ ]] ||
  { echo "the picture window does not show the measured clock error and offset" >&2; exit 1; }
measured=${BASH_REMATCH[1]}
# Played 1000 ppm fast, every tone is 1000 ppm high: 1.2 Hz at the sync.
awk -v hz="${BASH_REMATCH[2]}" 'BEGIN { exit !(hz > -3 && hz < 5) }' ||
  { echo "measured an offset of ${BASH_REMATCH[2]} Hz where the path has about 1.2 Hz" >&2; exit 1; }
# The receiving card is slow against that sender: -998.9 ppm (measured: -995.3).
awk -v ppm="$measured" 'BEGIN { exit !(ppm > -1025 && ppm < -975) }' ||
  { echo "measured $measured ppm where the path is -998.9 ppm" >&2; exit 1; }
# The tone's peak is 80 of 128: 63 % (resampling by the server may move it a little).
level=$(xdotool getwindowname "$tuning")
echo "tuning aid while receiving: $level"
[[ $level =~ ^Quorrel\ 60line\ Tuning\ Aid\ -\ input\ ([0-9]+)\ %$ ]] && ((BASH_REMATCH[1] >= 58 && BASH_REMATCH[1] <= 68)) ||
  { echo "the tuning aid does not show the recording's level" >&2; exit 1; }
screenshot "$tuning" tuning-aid.png
wait "$player"
sleep 3.5  # past the hold time after the last frame sync
still_running "after the recording"
screenshot "$picture" picture-window-held.png
xdotool windowfocus --sync "$window" key ctrl+s
sleep 0.5
xdotool key space  # RX off
exit_program

saved=("$work"/kept/*.png)
[[ ${#saved[@]} -eq 1 && -f ${saved[0]} ]] || { echo "no single picture saved: ${saved[*]}" >&2; exit 1; }
[[ $(basename "${saved[0]}") =~ ^20[0-9]{6}-[0-9]{6}Z\.png$ ]] || { echo "misnamed: ${saved[0]}" >&2; exit 1; }
cp "${saved[0]}" "$ARTIFACT_DIR/picture-window-saved.png"
[[ $(identify -format '%w %h %[channels] %z' "${saved[0]}") == "160 120 gray 8" ]] ||
  { echo "not an 8-bit grey 160x120 PNG: $(identify "${saved[0]}")" >&2; exit 1; }

# The held picture is the ramp, not the flat grey the flywheel leaves.
spread=$(/usr/bin/convert "${saved[0]}" -format '%[fx:int(255*(maxima-minima))]' info:)
echo "saved picture's grey spread: $spread"
((spread > 150)) || { echo "the saved picture is flat (spread $spread)" >&2; exit 1; }

# The window paints the picture 4x at 640x480 (sharp scaling): below the held mark and
# left of the sent picture's pane, it shows the saved picture's pixels exactly.
/usr/bin/convert "$ARTIFACT_DIR/picture-window-held.png" -crop 640x480+0+0 -sample 160x120 -colorspace Gray \
  -crop 116x108+0+12 +repage shown.png
/usr/bin/convert "${saved[0]}" -crop 116x108+0+12 +repage saved.png
differing=$(compare -metric AE shown.png saved.png null: 2>&1 || true)
echo "pixels differing between window and saved picture: $differing"
[[ $differing == 0 ]] || { echo "the saved picture is not the one shown" >&2; exit 1; }

# Record Audio kept what the receiver heard, from RX on to RX off: an 11025 Hz 8-bit
# unsigned mono WAV whose header counts every byte on disk (a pad byte may follow).
recorded=("$work"/kept/*.wav)
[[ ${#recorded[@]} -eq 1 && -f ${recorded[0]} ]] || { echo "no single audio recording: ${recorded[*]}" >&2; exit 1; }
[[ $(basename "${recorded[0]}") =~ ^20[0-9]{6}-[0-9]{6}Z\.wav$ ]] || { echo "misnamed: ${recorded[0]}" >&2; exit 1; }
field() { od -An -t"$1" -j"$2" -N"$3" "${recorded[0]}" | tr -d ' '; }
header="$(head -c 4 "${recorded[0]}") $(field u2 20 2) $(field u2 22 2) $(field u4 24 4) $(field u2 34 2)"
[[ $header == "RIFF 1 1 11025 8" ]] || { echo "not 11025 Hz 8-bit PCM mono: $header" >&2; exit 1; }
data=$(field u4 40 4)
size=$(stat -c %s "${recorded[0]}")
((size - 44 - data == data % 2)) || { echo "the header counts $data data bytes of $((size - 44))" >&2; exit 1; }

# The recording goes on past the signal, where the flywheel greys the live picture in
# the codec as in the program; cut where the tone ends (the rest is exact silence,
# 128), its decoding is the picture the window held and saved.
tone=$(od -An -v -tu1 -w1 -j44 -N"$data" "${recorded[0]}" | awk '$1 != 128 { last = NR } END { print last + 0 }')
echo "recorded $data bytes, the tone ending at byte $tone"
((tone > 12 * 9600 && data - tone > 2 * 11025)) || { echo "no whole tone before silence in the recording" >&2; exit 1; }
head -c $((44 + tone)) "${recorded[0]}" >heard.wav
"$codec" decode --tall --ppm auto --afc heard.wav decoded.png
cp decoded.png "$ARTIFACT_DIR/picture-window-recording-decoded.png"
/usr/bin/convert decoded.png -crop 116x108+0+12 +repage decoded-shown.png
differing=$(compare -metric AE decoded-shown.png saved.png null: 2>&1 || true)
echo "pixels differing between the decoded recording and the saved picture: $differing"
[[ $differing == 0 ]] || { echo "the recording does not decode to the saved picture" >&2; exit 1; }
