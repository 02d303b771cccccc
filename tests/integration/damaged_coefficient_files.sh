#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Special > Load LPF / Load HPF with "lpfcoeff.txt" or "hpfcoeff.txt" missing, a
# FIFO, a directory, empty, binary, one 50 MB number or unreadable: each says "load
# failed" (and the built-in filters are in force again); 16 numbers load without
# a word, even with 50 MB after them. Nothing waits for a writer, and the window
# ends as usual. Run as the unprivileged user "nobody", so that a file's mode
# counts also when the tests run as root.
# Usage: damaged_coefficient_files.sh PROGRAM ARTIFACT_DIR (inside a session without sound)
set -euo pipefail
PROGRAM=$1
ARTIFACT_DIR=$2
source "$(dirname "$0")/session.sh"

sixteen='-0.001 0.002 -0.003 0.004 -0.005 0.006 -0.007 0.008 -0.009 0.010 0.020 0.040 0.080 0.120 0.160 0.200'

run_as_nobody
chown nobody "$work"

# The low-pass file as the given command leaves it, then Special > Load LPF.
low_pass_from() {
  rm -rf lpfcoeff.txt
  "$@"
  load_low_pass_file
}
expect_load_failed() {
  answer_message "$1" "load-failed-$1.png"
  still_running "after the $1 file"
}

start_program

low_pass_from eval 'echo "$sixteen" >lpfcoeff.txt'
expect_no_message "16 numbers"
low_pass_from eval '{ echo "$sixteen"; head -c 50000000 /dev/zero | tr "\0" 7; } >lpfcoeff.txt'
expect_no_message "16 numbers and 50 MB more"

low_pass_from true
expect_load_failed missing
low_pass_from mkfifo lpfcoeff.txt
expect_load_failed fifo
low_pass_from mkdir lpfcoeff.txt
expect_load_failed directory
low_pass_from touch lpfcoeff.txt
expect_load_failed empty
low_pass_from eval '{ printf "\0"; head -c 1048576 "$PROGRAM"; } >lpfcoeff.txt'
expect_load_failed binary
low_pass_from eval 'head -c 50000000 /dev/zero | tr "\0" 7 >lpfcoeff.txt'
expect_load_failed huge-number
low_pass_from eval 'echo "$sixteen" >lpfcoeff.txt; chmod 000 lpfcoeff.txt'
expect_load_failed unreadable

mkfifo hpfcoeff.txt
load_high_pass_file
expect_load_failed high-pass-fifo
rm hpfcoeff.txt
echo "$sixteen" >hpfcoeff.txt
load_high_pass_file
expect_no_message "16 high-pass numbers"

xdotool windowfocus --sync "$window"
exit_program
expect_default_settings
echo "two good files loaded silently; missing, FIFO, directory, empty, binary, huge, unreadable and a high-pass FIFO each said load failed"
