#!/usr/bin/env bash
# `tavix-cli aosd sequence` of 800 x 320 8-bit frames (user-interface artwork with long runs), raw and with
# RLC, against `cat` of the same BMP files into one file, in interleaved pairs (bench/pairs.sh); the raw
# sequence of 100 frames, then its peak memory for 10, 100 and 999 frames.
#
#   bench/aosd_bench.sh path/to/tavix-cli path/to/make-aosd-frames [pairs]
#
# The frames go to a new directory under /tmp (about 260 MB), removed at the end.
set -euo pipefail
here=$(dirname "$(realpath "$0")")
. "$here/pairs.sh"

cli=$(realpath "$1")
frames=$(realpath "$2")
runs=${3:-11}
work=$(mktemp -d /tmp/tavix-aosd-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"

"$frames" . 999 >/dev/null
for n in 10 100 999; do
    last=$(printf 'anim%03d.bmp' $((n - 1)))
    files=$(ls anim*.bmp | awk -v last="$last" '$0 <= last' | tr '\n' ' ')
    "$cli" aosd sequence anim000.bmp $n raw$n.bin >/dev/null # untimed: page cache, outputs in place
    "$cli" aosd sequence anim000.bmp $n rlc$n.bin --rlc k470a >/dev/null
    cat $files >cat$n.out
    if [ $n -eq 100 ]; then
        pairs "aosd sequence raw, 100 frames" "$runs" "$cli aosd sequence anim000.bmp 100 raw100.bin" "cat $files >cat100.out"
        pairs "aosd sequence RLC, 100 frames" "$runs" "$cli aosd sequence anim000.bmp 100 rlc100.bin --rlc k470a" \
            "cat $files >cat100.out"
    else
        pairs "aosd sequence raw, $n frames (memory)" 3 "$cli aosd sequence anim000.bmp $n raw$n.bin" "cat $files >cat$n.out"
    fi
done
