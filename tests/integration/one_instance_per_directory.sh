#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# One instance per working directory. A second start beside a running program shows
# "info" and ends with status 1, changing no file, while the first runs on; its lock
# is an hour old, as after a long run, and still holds. Another directory runs side
# by side and ends on SIGTERM with its settings written. A lock left by a killed
# program is taken over.
# Usage: one_instance_per_directory.sh PROGRAM ARTIFACT_DIR (inside a desktop session)
set -euo pipefail
PROGRAM=$1
ARTIFACT_DIR=$2
source "$(dirname "$0")/session.sh"

# Names, sizes, modes and modification times of the directory's files.
listing() { stat -c '%n %s %a %Y' * 2>/dev/null || true; }
window_count() { xdotool search --onlyvisible --name '^Quorrel 60line$' 2>/dev/null | wc -l; }

start_program
first=$pid
[[ -f quorrel60.lock ]] || { echo "no lock file beside the running program" >&2; exit 1; }
touch -d '1 hour ago' quorrel60.lock
before=$(listing)

"$PROGRAM" &
second=$!
answer_message "second start in the same directory" second-instance.png
status=0
wait "$second" || status=$?
[[ $status -eq 1 ]] || { echo "the second instance ended with status $status" >&2; exit 1; }
[[ $(listing) == "$before" ]] || { echo "the second instance changed files: $(listing)" >&2; exit 1; }
still_running "after the second start"
[[ $(window_count) -eq 1 ]] || { echo "$(window_count) windows after the refused start" >&2; exit 1; }

mkdir other
(cd other && exec "$PROGRAM") &
other=$!
for _ in $(seq 200); do [[ $(window_count) -eq 2 ]] && break; sleep 0.05; done
[[ $(window_count) -eq 2 ]] || { echo "no second window from another directory" >&2; exit 1; }
sleep 0.3
kill -TERM "$other"
status=0
wait "$other" || status=$?
[[ $status -eq 0 ]] || { echo "SIGTERM ended the other instance with status $status" >&2; exit 1; }
(cd other && expect_default_settings)
[[ ! -e other/quorrel60.lock ]] || { echo "the other instance left its lock" >&2; exit 1; }

kill -KILL "$first"
wait "$first" 2>/dev/null || true
[[ -f quorrel60.lock ]] || { echo "a killed program's lock was expected to remain" >&2; exit 1; }
start_program "start over a killed program's lock"
exit_program
expect_default_settings
[[ ! -e quorrel60.lock ]] || { echo "the lock remains after exit" >&2; exit 1; }
echo "second start refused with status 1, files unchanged, first running; other directory side by side;" \
  "killed program's lock taken over"
