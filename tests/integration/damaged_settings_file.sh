#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# "settings.txt" as a FIFO, empty, binary, 50 MB long, a directory, unreadable, or
# in a directory the program may not write: the window comes up each time, the
# file counts only when it is a readable regular file, and at exit the new file
# replaces it where it can; where it cannot, the run's changes are lost and the old
# file stays as it was, and a directory that cannot be written is reported once at
# start. As root, modes stop nobody, so the last two cases run the program as the
# unprivileged user "nobody".
# Usage: damaged_settings_file.sh PROGRAM ARTIFACT_DIR (inside a session without sound)
set -euo pipefail
PROGRAM=$1
ARTIFACT_DIR=$2
source "$(dirname "$0")/session.sh"

defaults=$'0 TX_Port\n0 VideoDriver\n380 Contrast\n140 Brightness\n10 Synclevel\nNOCALL Call'
saved=$'0 TX_Port\n0 VideoDriver\n400 Contrast\n150 Brightness\n7 Synclevel\nK1ABC Call'
saved_dragged=$'0 TX_Port\n0 VideoDriver\n400 Contrast\n250 Brightness\n7 Synclevel\nK1ABC Call'
defaults_dragged=$'0 TX_Port\n0 VideoDriver\n380 Contrast\n250 Brightness\n10 Synclevel\nNOCALL Call'

chmod 755 "$work"
fresh_case() { mkdir "$work/$1"; cd "$work/$1"; }
only_settings_left() {
  [[ "$(ls -A)" == settings.txt ]] || { echo "$1: the directory holds: $(ls -A)" >&2; exit 1; }
}

# Opening a FIFO waits for a writer: the program must not.
fresh_case fifo
mkfifo settings.txt
start_program
exit_program
expect_settings "$defaults"
only_settings_left fifo

fresh_case empty
: >settings.txt
start_program
exit_program
expect_settings "$defaults"

# Leading NUL, then the program's own machine code: no number, no call sign.
fresh_case binary
{ printf '\0'; head -c 1048576 "$PROGRAM"; } >settings.txt
start_program
exit_program
expect_settings "$defaults"

# One 50 MB number: held at the top of the port's range, which chooses no port.
fresh_case huge
head -c 50000000 /dev/zero | tr '\0' 9 >settings.txt
start_program
exit_program
expect_settings $'2147483647 TX_Port\n0 VideoDriver\n380 Contrast\n140 Brightness\n10 Synclevel\nNOCALL Call'

fresh_case directory
mkdir settings.txt
start_program
exit_program
[[ -d settings.txt ]] || { echo "the directory named settings.txt was replaced" >&2; exit 1; }
[[ -z "$(ls -A settings.txt)" ]] || { echo "something was written into the directory" >&2; exit 1; }
only_settings_left directory

# The unprivileged runs.
run_as_nobody

# Unreadable: the defaults are in force (the brightness thumb starts at 45), and
# the new file replaces the old one, as the directory allows.
fresh_case unreadable
chown nobody .
printf '%s\n' "$saved" >settings.txt
chmod 000 settings.txt
start_program
drag_brightness_thumb_right 45
exit_program
expect_settings "$defaults_dragged"

# Read-only directory, first its writable twin: the file is read (the thumb starts
# at 50) and the drag is saved. Then the same run where nothing can be written, which
# the program says once before its window comes up.
fresh_case writable
chown nobody .
printf '%s\n' "$saved" >settings.txt
start_program
drag_brightness_thumb_right 50
exit_program
expect_settings "$saved_dragged"

fresh_case read-only
printf '%s\n' "$saved" >settings.txt
cp -p settings.txt "$work/original"
"${program_runner[@]}" "$PROGRAM" &
pid=$!
answer_message "start in a directory that cannot be written" read-only-directory.png
find_window "after the read-only directory's message"
expect_no_message "a second report of the read-only directory"
drag_brightness_thumb_right 50
exit_program
cmp settings.txt "$work/original" || { echo "the old file changed" >&2; exit 1; }
only_settings_left read-only
echo "FIFO, empty, binary, 50 MB, directory, unreadable and read-only: each started, ended with status 0 and left what the rules say"
