#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A prepared recording played into the sound server while the program receives: a
# pattern made with ImageMagick, encoded by quorrel60-codec into 100 frames of tone,
# played with paplay into the default sink while RX records the default source.
# Once the line phase has settled, the picture painted in the window must be the one
# quorrel60-codec decodes from the same recording (rx_screen_compare says how close).
# The program talks to the server without shared memory, as to a server over TCP or one
# that offers none: every fragment then comes through the socket, a piece at a time
# (the other sound tests take the shared-memory road).
# Usage: rx_shows_played_recording.sh PROGRAM CODEC COMPARE ARTIFACT_DIR (inside a session with sound)
set -euo pipefail
PROGRAM=$1
codec=$2
compare=$3
ARTIFACT_DIR=$4
source "$(dirname "$0")/session.sh"

# 80x60 grey, sent pixel for pixel: a ramp across the line under 10x10 blocks whose
# weight grows down the picture, so both a column and a row out of place show.
/usr/bin/convert -size 80x60 xc: -colorspace Gray \
  -fx '0.15 + 0.45 * i / w + 0.35 * ((floor(i / 10) + floor(j / 10)) % 2) * (j + 10) / h' \
  -depth 8 pattern.pgm
"$codec" encode --frames 100 pattern.pgm recording.wav
"$codec" decode --tall recording.wav decoded.png
cp pattern.pgm "$ARTIFACT_DIR/played-recording-pattern.pgm"
cp decoded.png "$ARTIFACT_DIR/played-recording-decoded.png"

echo "enable-shm = no" >client.conf
program_runner=(env PULSE_CLIENTCONFIG="$PWD/client.conf")
start_program
screenshot "$window" played-recording-before.png
before=$ARTIFACT_DIR/played-recording-before.png
shown=$ARTIFACT_DIR/played-recording-window.png
xdotool key Tab space  # RX on
sleep 0.5
paplay recording.wav &
player=$!
trap 'kill "$player" "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT  # session.sh's, and the player
started=$SECONDS

# The line phase settles within about 85 frames (74 s) of clean tone, usually much
# sooner; the window is read every three seconds while the recording plays. A match
# must hold in a second reading 1.5 s later, the picture repainted in between.
verdict=
matched=false
sleep 10
# Reads the window and compares; prints the verdict with the time into the recording.
reading_matches() {
  screenshot "$window" played-recording-window.png
  local status=0
  verdict=$("$compare" "$before" "$shown" decoded.png) || status=$?
  echo "$((SECONDS - started)) s: $verdict"
  [[ $status -eq 0 ]] || [[ $status -eq 1 ]] || { echo "the comparison could not run" >&2; exit 1; }
  return "$status"
}
while kill -0 "$player" 2>/dev/null; do
  if reading_matches; then
    sleep 1.5
    if reading_matches; then
      matched=true
      break
    fi
  fi
  sleep 3
done
kill "$player" 2>/dev/null || true
wait "$player" 2>/dev/null || true
$matched || { echo "the window never showed the decoded picture while the recording played" >&2; exit 1; }

still_running "after receiving the recording"
xdotool key space  # RX off
exit_program
expect_default_settings
