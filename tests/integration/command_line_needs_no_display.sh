#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# --help and --version answer on standard output with status 0, and any other option
# gets the usage on standard error with status 2, all with no display: the X platform
# is forced and no display named, so opening the window system would abort. Nothing
# is written in the working directory.
# Usage: command_line_needs_no_display.sh PROGRAM VERSION
set -euo pipefail
program=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# Runs the program with its arguments; sets status, out and err.
run() {
  status=0
  env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$program" "$@" >out.txt 2>err.txt || status=$?
  out=$(cat out.txt)
  err=$(cat err.txt)
  rm out.txt err.txt
}

fail() { echo "$*; status $status, stdout: $out, stderr: $err" >&2; exit 1; }

run --help
[[ $status -eq 0 && $out == "usage: quorrel60 [--dir DIR]"*"--version"* && -z $err ]] || fail "--help"
run --version
[[ $status -eq 0 && $out == "quorrel60 $version" && -z $err ]] || fail "--version"
for misuse in --bogus -h --dir "--dir=" settings.txt; do
  run "$misuse"
  [[ $status -eq 2 && -z $out && $err == "quorrel60: "*"usage: quorrel60"* ]] || fail "$misuse"
done
run --dir "$work/absent"
[[ $status -eq 1 && $err == "quorrel60: cannot work in $work/absent: No such file or directory" ]] ||
  fail "--dir to a missing directory"
[[ -z $(ls -A) ]] || fail "files were written: $(ls -A)"
echo "help and version with status 0, five misuses with status 2, a missing --dir with 1, no display"
