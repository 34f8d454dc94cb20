#!/usr/bin/env bash
# Times the whole `tavix-cli aosd sequence` process over 100 frames of 800 x 320 pixels (8 bits per pixel,
# user-interface artwork with long runs) with RLC against `cat` of the same 100 BMP files into one file,
# alternating in the same run; each output is removed and the dirty pages flushed (untimed) before every
# timed run.
#
#   bench/aosd_bench.sh path/to/tavix-cli path/to/make-aosd-frames [runs]
#
# Prints each run and the medians. The frames go to a new directory under /tmp, removed at the end.
set -euo pipefail

cli=$(realpath "$1")
frames=$(realpath "$2")
runs=${3:-21}
work=$(mktemp -d /tmp/tavix-aosd-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"

"$frames" . 100
files=(anim*.bmp)
echo "inputs: ${#files[@]} files, $(cat "${files[@]}" | wc -c) bytes"

# One untimed run of each fills the page cache with the inputs and shows what the sequence writes.
"$cli" aosd sequence anim000.bmp 100 seq.bin --rlc k470a
cat "${files[@]}" >cat.out
rm -f seq.bin cat.out
sync

TIMEFORMAT='%R %U %S'
: >tavix.t
: >cat.t
echo "run  tavix-cli (real user sys)  cat (real user sys)"
for run in $(seq "$runs"); do
    sync
    { time "$cli" aosd sequence anim000.bmp 100 seq.bin --rlc k470a >/dev/null 2>&1; } 2>>tavix.t
    rm -f seq.bin
    sync
    { time cat "${files[@]}" >cat.out; } 2>>cat.t
    rm -f cat.out
    echo "$run    $(sed -n "${run}p" tavix.t)    $(sed -n "${run}p" cat.t)"
done

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
realOf() { awk '{ print $1 }' "$1" | median; }
cpuOf() { awk '{ printf "%.3f\n", $2 + $3 }' "$1" | median; }
tr=$(realOf tavix.t)
cr=$(realOf cat.t)
tc=$(cpuOf tavix.t)
cc=$(cpuOf cat.t)
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }
echo "median elapsed: tavix-cli ${tr} s, cat ${cr} s, tavix-cli / cat $(ratio "$tr" "$cr")"
echo "median CPU:     tavix-cli ${tc} s, cat ${cc} s, tavix-cli / cat $(ratio "$tc" "$cc")"
