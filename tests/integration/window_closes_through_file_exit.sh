#!/usr/bin/env bash
# In an empty directory the program starts, ignores Escape, and ends with status 0
# through File > Exit chosen by keys, leaving "settings.txt" with the six defaults.
# Usage: window_closes_through_file_exit.sh PROGRAM ARTIFACT_DIR (inside a desktop session)
set -euo pipefail
program=$1
artifacts=$2
mkdir -p "$artifacts"
work=$(mktemp -d)
pid=
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
cd "$work"

"$program" &
pid=$!

find_window() {
  for _ in $(seq 200); do
    window=$(xdotool search --onlyvisible --name '^Quorrel 60line$' 2>/dev/null | head -n1 || true)
    [[ -n $window ]] && return 0
    kill -0 "$pid" 2>/dev/null || { echo "program ended before showing its window" >&2; exit 1; }
    sleep 0.05
  done
  echo "no window titled 'Quorrel 60line'" >&2
  exit 1
}

still_running() { sleep 0.5; kill -0 "$pid" 2>/dev/null; }

find_window
sleep 0.3
xwd -id "$window" -silent | /usr/bin/convert xwd:- "$artifacts/main-window.png"

# Real key presses (XTEST) to the focused window, as a keyboard gives them.
xdotool windowfocus --sync "$window"
xdotool key Escape
still_running || { echo "Escape closed the window" >&2; exit 1; }
[[ ! -e settings.txt ]] || { echo "settings written before exit" >&2; exit 1; }

xdotool key alt+f
sleep 0.3
xdotool key x
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
if kill -0 "$pid" 2>/dev/null; then echo "File > Exit did not end the program" >&2; exit 1; fi
status=0
wait "$pid" || status=$?
[[ $status -eq 0 ]] || { echo "exit status $status" >&2; exit 1; }

expected=$'0 TX_Port\n0 VideoDriver\n380 Contrast\n140 Brightness\n10 Synclevel\nNOCALL Call'
actual=$(cat settings.txt)
if [[ "$actual" != "$expected" ]]; then
  echo "settings.txt holds:" >&2
  cat settings.txt >&2
  exit 1
fi
echo "window found, Escape ignored, File > Exit wrote the six default lines, status 0"
