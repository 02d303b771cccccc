# Helpers for the end-to-end scripts: the program in a scratch directory of its own,
# found by its window and driven by real key presses (XTEST) to the focused window.
# Source it with PROGRAM and ARTIFACT_DIR set.
mkdir -p "$ARTIFACT_DIR"
work=$(mktemp -d)
pid=
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
cd "$work"

start_program() {
  "$PROGRAM" &
  pid=$!
  for _ in $(seq 200); do
    window=$(xdotool search --onlyvisible --name '^Quorrel 60line$' 2>/dev/null | head -n1 || true)
    if [[ -n $window ]]; then
      sleep 0.3
      xdotool windowfocus --sync "$window"
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || { echo "program ended before showing its window" >&2; exit 1; }
    sleep 0.05
  done
  echo "no window titled 'Quorrel 60line'" >&2
  exit 1
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
