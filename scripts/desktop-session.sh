#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command inside a desktop session of its own: a private X server (Xvfb),
# a private runtime directory and, with --sound, a private PulseAudio server whose
# default sink is a null sink and whose default source records what that sink plays.
# The servers are stopped by their PIDs afterwards, whatever the command's outcome;
# the command's exit status is the script's.
# Usage: desktop-session.sh [--sound] COMMAND [ARGS...]
# With --sound the command finds the sound server's PID in Q60_SOUND_SERVER_PID, that of
# the silent stream keeping the null sink in small blocks in Q60_SOUND_KEEPALIVE_PID, and its
# log (at the level Q60_SOUND_LOG_LEVEL names, "notice" by default) in $XDG_RUNTIME_DIR/pulse.log.
# Inside such a session, "desktop-session.sh --restart-sound" waits until the sound server
# no longer answers (the command has stopped it), starts a new one on the same socket and
# prints its PID; the session stops that one too when it ends.
set -euo pipefail

# PIDs of servers started again by --restart-sound: those are not this script's
# children, so they are listed in a file for the session to stop at its end.
restarted_list() { echo "$1/restarted-sound.pids"; }

# Starts the sound server on $runtime's socket and the stream that keeps it
# rendering; sets pulse_pid and keepalive_pid.
start_sound_server() {
  mkdir -p "$runtime/pulse"
  cat >"$runtime/pulse.pa" <<PA
load-module module-native-protocol-unix auth-anonymous=1 socket=$runtime/pulse/native
load-module module-null-sink sink_name=nullsink rate=44100
load-module module-remap-source master=nullsink.monitor source_name=nullsrc
set-default-sink nullsink
set-default-source nullsrc
PA
  HOME="$runtime" pulseaudio -n -F "$runtime/pulse.pa" --daemonize=no --exit-idle-time=-1 \
    --use-pid-file=no --log-target=stderr --log-level="${Q60_SOUND_LOG_LEVEL:-notice}" \
    >/dev/null 2>>"$runtime/pulse.log" &
  pulse_pid=$!
  for _ in $(seq 200); do
    pactl info >/dev/null 2>&1 && break
    kill -0 "$pulse_pid" 2>/dev/null || { cat "$runtime/pulse.log" >&2; exit 1; }
    sleep 0.05
  done
  pactl info >/dev/null 2>&1 || { echo "PulseAudio did not start" >&2; exit 1; }
  # An idle null sink renders in long blocks and stalls the first stream; a silent
  # low-latency stream keeps it rendering in small ones for the whole session.
  pacat --playback --latency-msec=20 --format=s16le --channels=2 --rate=44100 /dev/zero >/dev/null &
  keepalive_pid=$!
  sleep 2
}

if [[ ${1:-} == --restart-sound ]]; then
  runtime=${XDG_RUNTIME_DIR:-}
  [[ -n $runtime && -f $runtime/pulse.pa ]] || { echo "not inside a session with sound" >&2; exit 2; }
  for _ in $(seq 100); do
    pactl info >/dev/null 2>&1 || break
    sleep 0.05
  done
  pactl info >/dev/null 2>&1 && { echo "the sound server still answers" >&2; exit 1; }
  start_sound_server
  echo "$pulse_pid $keepalive_pid" >>"$(restarted_list "$runtime")"
  echo "$pulse_pid"
  exit 0
fi

sound=false
if [[ ${1:-} == --sound ]]; then
  sound=true
  shift
fi

# Listing a test program's tests needs neither a display nor sound.
for argument in "$@"; do
  [[ $argument == --gtest_list_tests ]] && exec "$@"
done

runtime=$(mktemp -d /tmp/q60-session.XXXXXX)
chmod 700 "$runtime"
xvfb_pid=
pulse_pid=
keepalive_pid=
stop() {
  [[ -n $1 ]] || return 0
  kill "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}
# Not a child: waits until it is gone or only a zombie of whoever adopted it.
stop_adopted() {
  kill "$1" 2>/dev/null || return 0
  for _ in $(seq 100); do
    [[ -r /proc/$1/stat ]] || return 0
    [[ $(cut -d' ' -f3 "/proc/$1/stat" 2>/dev/null) == Z ]] && return 0
    sleep 0.05
  done
}
stop_session() {
  stop "$keepalive_pid"
  stop "$pulse_pid"
  if [[ -f $(restarted_list "$runtime") ]]; then
    for restarted in $(cat "$(restarted_list "$runtime")"); do
      stop_adopted "$restarted"
    done
  fi
  stop "$xvfb_pid"
  rm -rf "$runtime"
}
trap stop_session EXIT

# Xvfb picks a free display itself and writes its number to descriptor 3. The number
# comes as soon as the sockets exist; the command starts only once the server answers
# a client, so a program never meets a server still setting up. A server that has
# not answered within 10 s is stopped and another one started, up to three times.
# -noreset: by default the server resets whenever its last client leaves, and drops a
# client that connects meanwhile; tests start one short-lived client after another.
start_x_server() {
  local attempt
  for attempt in 1 2 3; do
    : >"$runtime/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$runtime/display" 2>"$runtime/xvfb.log" &
    xvfb_pid=$!
    wait_for_display_number && x_server_answers && return 0
    echo "Xvfb on :$(head -n1 "$runtime/display") did not answer (attempt $attempt):" >&2
    cat "$runtime/xvfb.log" "$runtime/xclient.log" >&2 2>/dev/null || true
    stop "$xvfb_pid"
    xvfb_pid=
  done
  echo "no X server could be started" >&2
  exit 1
}

wait_for_display_number() {
  for _ in $(seq 200); do
    [[ -s $runtime/display ]] && return 0
    kill -0 "$xvfb_pid" 2>/dev/null || return 1
    sleep 0.05
  done
  return 1
}

# The last client's complaint is kept in xclient.log for the report above.
x_server_answers() {
  local display=":$(head -n1 "$runtime/display")"
  for _ in $(seq 100); do
    DISPLAY=$display timeout 5 xdotool getdisplaygeometry >/dev/null 2>"$runtime/xclient.log" && return 0
    kill -0 "$xvfb_pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

start_x_server
export DISPLAY=":$(head -n1 "$runtime/display")"
export XDG_RUNTIME_DIR="$runtime"
# An explicit server address: with no server there, clients fail at once instead
# of trying to start one of their own.
export PULSE_SERVER="unix:$runtime/pulse/native"

if $sound; then
  start_sound_server
  export Q60_SOUND_SERVER_PID=$pulse_pid
  export Q60_SOUND_KEEPALIVE_PID=$keepalive_pid
fi

# In the background, so that a TERM or INT to this script (a test's time running
# out) reaches the command at once and the servers are still stopped afterwards.
"$@" &
command_pid=$!
trap 'kill "$command_pid" 2>/dev/null || true' TERM INT
status=0
wait "$command_pid" || status=$?
# A trapped signal ends the first wait early; this one waits for the command itself.
if kill -0 "$command_pid" 2>/dev/null; then
  status=0
  wait "$command_pid" || status=$?
fi
exit "$status"
