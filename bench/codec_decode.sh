#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times the decoding of a ten-minute recording of the test picture and reports the
# elapsed time and peak resident memory, also against the recording itself.
# Usage: bench/codec_decode.sh [path/to/quorrel60-codec [decode options...]]
# The default binary is build/tools/quorrel60-codec under the repository root; the
# options (--fast-lock --ppm auto --afc --sturdy-sync, say) go to the decode.
set -euo pipefail

repo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
codec=${1:-$repo_root/build/tools/quorrel60-codec}
shift $(( $# > 0 ? 1 : 0 ))

sample_rate=11025
frame_samples=9600
target_seconds=600
# Whole frames, at least ten minutes of them.
frames=$(( (target_seconds * sample_rate + frame_samples - 1) / frame_samples ))

if [[ ! -x $codec ]]; then
    echo "codec_decode.sh: no executable codec at $codec" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$codec" encode --frames "$frames" --test-picture "$work/recording.wav"
if ! /usr/bin/time -v -o "$work/time.txt" "$codec" decode "$@" "$work/recording.wav" "$work/picture.png"; then
    echo "codec_decode.sh: decode failed" >&2
    cat "$work/time.txt" >&2
    exit 1
fi
if [[ ! -s $work/picture.png ]]; then
    echo "codec_decode.sh: decode wrote no picture" >&2
    exit 1
fi

# time -v gives the elapsed time as h:mm:ss or m:ss.ss, and the peak in kilobytes.
elapsed=$(awk -F': ' '/Elapsed \(wall clock\)/ {
    n = split($2, part, ":"); s = 0
    for (k = 1; k <= n; ++k) s = s * 60 + part[k]
    print s }' "$work/time.txt")
peak_kb=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time.txt")
wav_bytes=$(stat -c %s "$work/recording.wav")

awk -v frames="$frames" -v fs="$frame_samples" -v rate="$sample_rate" \
    -v elapsed="$elapsed" -v peak_kb="$peak_kb" -v wav_bytes="$wav_bytes" 'BEGIN {
    seconds = frames * fs / rate
    peak_mb = peak_kb / 1024
    wav_mb = wav_bytes / 1048576
    printf "recording:   %d frames, %.1f s of tone, %.2f MB\n", frames, seconds, wav_mb
    printf "decode time: %.2f s elapsed = %.0f x real time\n", elapsed, seconds / (elapsed > 0 ? elapsed : 0.01)
    printf "peak memory: %.1f MB resident = %.2f x the recording size\n", peak_mb, peak_mb / wav_mb
}'
