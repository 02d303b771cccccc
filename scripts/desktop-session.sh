#!/usr/bin/env bash
# Runs a command inside a desktop session of its own: a private X server (Xvfb)
# and a private runtime directory. The server is stopped by its PID afterwards,
# whatever the command's outcome; the command's exit status is the script's.
set -euo pipefail

runtime=$(mktemp -d /tmp/q60-session.XXXXXX)
chmod 700 "$runtime"
xvfb_pid=
stop_session() {
  if [[ -n $xvfb_pid ]]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$runtime"
}
trap stop_session EXIT

# Xvfb picks a free display itself and writes its number to descriptor 3.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$runtime/display" 2>"$runtime/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 200); do
  [[ -s $runtime/display ]] && break
  kill -0 "$xvfb_pid" 2>/dev/null || { cat "$runtime/xvfb.log" >&2; exit 1; }
  sleep 0.05
done
[[ -s $runtime/display ]] || { echo "Xvfb did not start" >&2; exit 1; }

export DISPLAY=":$(head -n1 "$runtime/display")"
export XDG_RUNTIME_DIR="$runtime"
"$@"
