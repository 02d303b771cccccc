#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The sound server killed while transmitting and receiving, and started again on the
# same socket 10 s later: the program neither crashes nor hangs, TX and RX stop as
# usual, and once the server is back the very next TX and RX presses work in the same
# program: tone on the air and a recording stream.
# Usage: sound_server_restart.sh PROGRAM ARTIFACT_DIR (inside a session with sound)
set -euo pipefail
PROGRAM=$1
ARTIFACT_DIR=$2
session_script=$(cd "$(dirname "$0")/../../scripts" && pwd)/desktop-session.sh
source "$(dirname "$0")/session.sh"

# Percent of two seconds recorded from the default source that stand well away
# from silence: 0 for silence, most for the transmitted tone.
tone_percent() {
  parecord --raw --format=u8 --channels=1 --rate=11025 --latency-msec=20 "$1" &
  local recorder=$!
  sleep 2
  kill -INT "$recorder"
  wait "$recorder" || true
  od -An -v -tu1 "$1" | awk '{ for (i = 1; i <= NF; i++) { n++; if ($i < 108 || $i > 148) loud++ } }
                             END { print n ? int(100 * loud / n) : 0 }'
}

start_program
xdotool key space      # TX on
sleep 0.3
xdotool key Tab space  # RX on
sleep 2
kill "$Q60_SOUND_SERVER_PID"
sleep 10
"$session_script" --restart-sound >/dev/null
still_running "when the sound server came back"
xdotool key space            # RX off
xdotool key shift+Tab space  # TX off
sleep 1.5
still_running "TX and RX off after the sound server came back"

xdotool key space      # TX on
expect_no_message "TX on after the sound server came back"
sleep 2                # the buffer of silence that goes first
percent=$(tone_percent tone.raw)
cp tone.raw "$ARTIFACT_DIR/tone-after-server-restart.raw"
[[ $percent -ge 50 ]] || { echo "only $percent % of the recording is tone" >&2; exit 1; }
xdotool key space      # TX off
sleep 1.5
xdotool key Tab space  # RX on
expect_no_message "RX on after the sound server came back"
pactl list short source-outputs | grep -q 'u8 1ch 11025Hz' || { echo "RX records nothing" >&2; exit 1; }
xdotool key space      # RX off
exit_program
expect_default_settings
echo "server back after 10 s: the next TX sent $percent % tone and the next RX recorded, in the same program"
