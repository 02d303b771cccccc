# SPDX-License-Identifier: GPL-3.0-or-later
# Helpers for the end-to-end scripts: the program in a scratch directory of its own,
# found by its window and driven by real key presses (XTEST) to the focused window.
# Source it with PROGRAM and ARTIFACT_DIR set.
mkdir -p "$ARTIFACT_DIR"
work=$(mktemp -d)
pid=
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
cd "$work"

# Starts PROGRAM (through program_runner, when set) and waits for its window.
start_program() {
  "${program_runner[@]}" "$PROGRAM" &
  pid=$!
  find_window "${1:-start}"
}

still_running() { kill -0 "$pid" 2>/dev/null || { echo "the program ended: $1" >&2; exit 1; }; }

screenshot() { xwd -id "$1" -silent | /usr/bin/convert xwd:- "$ARTIFACT_DIR/$2"; }

# Special > TestPic, by keys: File, then two menus to the right, then the third item.
choose_test_picture() { xdotool key alt+f Right Right Down Down Return; sleep 0.3; }

# File > Exit; the program must end by itself with status 0.
exit_program() {
  xdotool key alt+f
  sleep 0.3
  xdotool key x
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
  if kill -0 "$pid" 2>/dev/null; then echo "File > Exit did not end the program" >&2; exit 1; fi
  local status=0
  wait "$pid" || status=$?
  pid=
  [[ $status -eq 0 ]] || { echo "exit status $status" >&2; exit 1; }
}

expect_default_settings() {
  local expected=$'0 TX_Port\n0 VideoDriver\n380 Contrast\n140 Brightness\n10 Synclevel\nNOCALL Call'
  if [[ "$(cat settings.txt)" != "$expected" ]]; then
    echo "settings.txt holds:" >&2
    cat settings.txt >&2
    exit 1
  fi
}

# Waits up to two seconds for the message box ("info") and answers it with Return.
answer_message() {
  local box=
  for _ in $(seq 40); do
    box=$(xdotool search --onlyvisible --name '^info$' 2>/dev/null | head -n1 || true)
    [[ -n $box ]] && break
    sleep 0.05
  done
  [[ -n $box ]] || { echo "no message box: $1" >&2; exit 1; }
  sleep 0.2
  screenshot "$box" "$2"
  xdotool windowfocus --sync "$box" key Return
  sleep 0.3
}

# Runs PROGRAM through these words first (for example setpriv to another user).
program_runner=()

# From now on PROGRAM runs as the unprivileged user "nobody", for whom file modes hold
# even when the tests run as root, with a runtime directory of its own (which keeps Qt
# quiet). The program is run from a copy in the scratch directory, as the build tree
# may lie under a home directory that user cannot enter.
run_as_nobody() {
  chmod 755 "$work"
  mkdir -m 700 "$work/runtime-nobody"
  chown nobody "$work/runtime-nobody"
  mkdir -m 755 "$work/program"
  cp "$PROGRAM" "$work/program/"
  PROGRAM="$work/program/$(basename "$PROGRAM")"
  # A sanitizer build reads its leak suppressions as that user too.
  local leak_options=${LSAN_OPTIONS:-}
  if [[ $leak_options =~ suppressions=([^:]+) ]]; then
    cp "${BASH_REMATCH[1]}" "$work/program/lsan.supp"
    leak_options=${leak_options/"${BASH_REMATCH[1]}"/$work/program/lsan.supp}
  fi
  program_runner=(setpriv --reuid=65534 --regid=65534 --clear-groups
    env "XDG_RUNTIME_DIR=$work/runtime-nobody" "LSAN_OPTIONS=$leak_options")
}

# Waits up to ten seconds for the window of the program started as $pid, then focuses
# it; fails when the program ends first.
find_window() {
  for _ in $(seq 200); do
    window=$(xdotool search --onlyvisible --name '^Quorrel 60line$' 2>/dev/null | head -n1 || true)
    if [[ -n $window ]]; then
      sleep 0.3
      xdotool windowfocus --sync "$window"
      return 0
    fi
    if ! kill -0 "$pid" 2>/dev/null; then
      echo "program ended before showing its window ($1); the X server's log:" >&2
      cat "$XDG_RUNTIME_DIR/xvfb.log" >&2 || true
      exit 1
    fi
    sleep 0.05
  done
  echo "no window titled 'Quorrel 60line' within 10 s: $1" >&2
  exit 1
}

expect_settings() {
  if [[ "$(cat settings.txt)" != "$1" ]]; then
    echo "settings.txt holds:" >&2
    cat settings.txt >&2
    exit 1
  fi
}

# With TX and RX on and the sound server gone: TX off and RX off leave the program
# running, then TX on and RX on each give their message. $1 says when (in messages),
# $2 names the screenshots of the two boxes.
turn_both_off_and_expect_refusals() {
  xdotool key space            # RX off
  xdotool key shift+Tab space  # TX off
  sleep 1.5
  still_running "TX and RX off $1"
  xdotool key space
  answer_message "TX on $1" "tx-$2.png"
  xdotool windowfocus --sync "$window" key Tab space
  answer_message "RX on $1" "rx-$2.png"
  xdotool windowfocus --sync "$window"
}

# Fails if a message box comes up within a second.
expect_no_message() {
  for _ in $(seq 20); do
    if xdotool search --onlyvisible --name '^info$' >/dev/null 2>&1; then
      echo "unexpected message box: $1" >&2
      exit 1
    fi
    sleep 0.05
  done
}

# Drags the brightness slider's thumb, standing at position (0 to 100), past the
# right end of its track. The slider's place in the client area is the dialog
# template's (51,83 61x9 dialog units: 77,135 92x15 pixels); the menu bar lies above,
# the 20-pixel status line below.
drag_brightness_thumb_right() {
  local WIDTH HEIGHT X Y SCREEN
  eval "$(xdotool getwindowgeometry --shell "$window")"
  local handle=15
  local x=$((77 + handle / 2 + $1 * (92 - handle) / 100)) y=$((HEIGHT - 20 - 171 + 135 + 7))
  xdotool mousemove --window "$window" "$x" "$y" mousedown 1 sleep 0.1 \
    mousemove --window "$window" $((x + 20)) "$y" sleep 0.1 \
    mousemove --window "$window" $((77 + 92 + 40)) "$y" sleep 0.1 mouseup 1
  sleep 0.3
}

# Special > Load LPF / Load HPF, by keys.
load_low_pass_file() { xdotool windowfocus --sync "$window" key alt+f Right Right Return; }
load_high_pass_file() { xdotool windowfocus --sync "$window" key alt+f Right Right Down Return; }
