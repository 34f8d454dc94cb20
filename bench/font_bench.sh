#!/usr/bin/env bash
# Times the whole `tavix-cli font bank --ascii --code` process (find the start font, render and insert the
# 95 glyphs of codes 33..127, save FontBank.txt and FontBank.bin, write the eight code files) against
# `fc-match sans-serif`, the cost of finding a font at all, alternating in the same run.
#
#   bench/font_bench.sh path/to/tavix-cli [runs]
#
# Prints each run and the medians. The work directory under /tmp is removed at the end.
set -euo pipefail

cli=$(realpath "$1")
runs=${2:-21}
work=$(mktemp -d /tmp/tavix-font-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"

# One untimed run of each fills the caches (fontconfig's, the font file's pages).
"$cli" font bank --ascii --code --out out >/dev/null
fc-match sans-serif >/dev/null
echo "outputs: $(ls out | wc -l) files, FontBank.txt $(stat -c %s out/FontBank.txt) bytes, Font.c $(stat -c %s out/Font.c) bytes"

TIMEFORMAT='%R %U %S'
: >tavix.t
: >fc.t
echo "run  tavix-cli (real user sys)  fc-match (real user sys)"
for run in $(seq "$runs"); do
    { time "$cli" font bank --ascii --code --out out >/dev/null; } 2>>tavix.t
    { time fc-match sans-serif >/dev/null; } 2>>fc.t
    echo "$run    $(sed -n "${run}p" tavix.t)    $(sed -n "${run}p" fc.t)"
done

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
realOf() { awk '{ print $1 }' "$1" | median; }
cpuOf() { awk '{ printf "%.3f\n", $2 + $3 }' "$1" | median; }
tr=$(realOf tavix.t)
fr=$(realOf fc.t)
tc=$(cpuOf tavix.t)
fc=$(cpuOf fc.t)
echo "median elapsed: tavix-cli ${tr} s, fc-match ${fr} s, tavix-cli / fc-match $(awk -v a="$tr" -v b="$fr" 'BEGIN { printf "%.2f", a / b }')"
echo "median CPU:     tavix-cli ${tc} s, fc-match ${fc} s"
