#!/usr/bin/env bash
# Times `tavix-cli wav resample` of a 10-minute 44.1 kHz 16-bit mono file to 8000 Hz 8-bit, the whole
# process, against `sox F.wav -r 8000 -b 8 out.raw rate -q` on the same file in the same run, alternating;
# then tavix-cli alone on a 10-minute 48 kHz 16-bit stereo file (right channel to 16000 Hz 16-bit).
#
#   bench/wav_bench.sh path/to/tavix-cli [runs]
#
# Needs sox (Debian's `sox` package, for the benchmark only: it also makes the inputs). The work directory
# (about 170 MB under /tmp) is removed at the end. Prints each run and the medians.
set -euo pipefail

cli=$(realpath "$1")
runs=${2:-9}
if ! command -v sox >/dev/null; then
    echo "wav_bench: needs sox (apt-get install sox)" >&2
    exit 2
fi
work=$(mktemp -d /tmp/tavix-wav-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"

sox -n -r 44100 -b 16 -c 1 -e signed-integer mono44.wav synth 600 sine 440 vol 0.5
sox -n -r 48000 -b 16 -c 2 -e signed-integer stereo48.wav synth 600 sine 440 sine 660 vol 0.5
# Both are canonical files the tool takes.
"$cli" wav info mono44.wav | grep -q '^DataLength: 52920000$'
"$cli" wav info stereo48.wav | grep -q '^DataLength: 115200000$'

# One untimed run of each puts the inputs in the page cache.
"$cli" wav resample mono44.wav t44.bin --rate 8000 --bits 8 >/dev/null
sox mono44.wav -r 8000 -b 8 s44.raw rate -q
"$cli" wav resample stereo48.wav t48.bin --rate 16000 --bits 16 --channel right >/dev/null
echo "outputs: tavix-cli $(stat -c %s t44.bin) bytes, sox $(stat -c %s s44.raw) bytes;" \
    "stereo: tavix-cli $(stat -c %s t48.bin) bytes"

TIMEFORMAT='%R %U %S'
: >tavix.t
: >sox.t
: >stereo.t
echo "run  tavix-cli 44.1k->8k (real user sys)  sox (real user sys)  tavix-cli 48k stereo->16k (real user sys)"
for run in $(seq "$runs"); do
    { time "$cli" wav resample mono44.wav t44.bin --rate 8000 --bits 8 >/dev/null; } 2>>tavix.t
    { time sox mono44.wav -r 8000 -b 8 s44.raw rate -q; } 2>>sox.t
    { time "$cli" wav resample stereo48.wav t48.bin --rate 16000 --bits 16 --channel right >/dev/null; } 2>>stereo.t
    echo "$run    $(sed -n "${run}p" tavix.t)    $(sed -n "${run}p" sox.t)    $(sed -n "${run}p" stereo.t)"
done

# Median of the elapsed time and of the CPU time (user + sys) of a file of "real user sys" lines.
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
realOf() { awk '{ print $1 }' "$1" | median; }
cpuOf() { awk '{ printf "%.3f\n", $2 + $3 }' "$1" | median; }
tr=$(realOf tavix.t)
sr=$(realOf sox.t)
tc=$(cpuOf tavix.t)
sc=$(cpuOf sox.t)
echo "median elapsed: tavix-cli ${tr} s, sox ${sr} s, sox / tavix-cli $(awk -v a="$sr" -v b="$tr" 'BEGIN { printf "%.1f", a / b }')"
echo "median CPU:     tavix-cli ${tc} s, sox ${sc} s, sox / tavix-cli $(awk -v a="$sc" -v b="$tc" 'BEGIN { printf "%.1f", a / b }')"
echo "median 48 kHz stereo (115 MB) to 16000 Hz 16-bit: elapsed $(realOf stereo.t) s, CPU $(cpuOf stereo.t) s"
