#!/usr/bin/env bash
# Times `tavix-cli wav resample --filter` of a 10-minute 44.1 kHz 16-bit mono file to 8000 Hz 8-bit, the
# whole process, against sox's rate effect at its default quality (`sox F.wav -r 8000 -b 8 out.raw rate`),
# which also low-passes before it resamples, on the same file: one of each per run, in turn (interleaved
# pairs), so that a change in the machine's load falls on both.
#
#   bench/wav_filter_bench.sh path/to/tavix-cli [pairs]
#
# Needs sox (Debian's `sox` package, for the benchmark only: it also makes the input). The work directory
# (about 60 MB under /tmp) is removed at the end. Prints each pair and the medians.
set -euo pipefail

cli=$(realpath "$1")
pairs=${2:-9}
if ! command -v sox >/dev/null; then
    echo "wav_filter_bench: needs sox (apt-get install sox)" >&2
    exit 2
fi
work=$(mktemp -d /tmp/tavix-wav-filter-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"

# A tone in the passband and one above the target's Nyquist frequency.
sox -n -r 44100 -b 16 -c 1 -e signed-integer mono44.wav synth 600 sine 1000 sine 6000 remix 1,2 vol 0.5
"$cli" wav info mono44.wav | grep -q '^DataLength: 52920000$'

# One untimed run of each puts the input in the page cache.
"$cli" wav resample mono44.wav t.bin --rate 8000 --bits 8 --filter >/dev/null
sox mono44.wav -r 8000 -b 8 s.raw rate
echo "outputs: tavix-cli $(stat -c %s t.bin) bytes, sox $(stat -c %s s.raw) bytes"

TIMEFORMAT='%R %U %S'
: >tavix.t
: >sox.t
echo "pair  tavix-cli --filter (real user sys)  sox rate (real user sys)"
for pair in $(seq "$pairs"); do
    { time "$cli" wav resample mono44.wav t.bin --rate 8000 --bits 8 --filter >/dev/null; } 2>>tavix.t
    { time sox mono44.wav -r 8000 -b 8 s.raw rate; } 2>>sox.t
    echo "$pair     $(sed -n "${pair}p" tavix.t)    $(sed -n "${pair}p" sox.t)"
done

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
realOf() { awk '{ print $1 }' "$1" | median; }
cpuOf() { awk '{ printf "%.3f\n", $2 + $3 }' "$1" | median; }
tr=$(realOf tavix.t)
sr=$(realOf sox.t)
tc=$(cpuOf tavix.t)
sc=$(cpuOf sox.t)
echo "median elapsed: tavix-cli ${tr} s, sox ${sr} s, sox / tavix-cli $(awk -v a="$sr" -v b="$tr" 'BEGIN { printf "%.2f", a / b }')"
echo "median CPU:     tavix-cli ${tc} s, sox ${sc} s, sox / tavix-cli $(awk -v a="$sc" -v b="$tc" 'BEGIN { printf "%.2f", a / b }')"
