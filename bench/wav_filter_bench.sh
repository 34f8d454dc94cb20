#!/usr/bin/env bash
# `tavix-cli wav resample --filter` of the 10-minute 44.1 kHz 16-bit mono sweep of wav_bench.sh (100 to
# 4000 Hz at half scale) to 8000 Hz 8-bit, against sox's rate effect at its default quality
# (`sox F.wav -r 8000 -b 8 out.raw rate`), which also low-passes before it resamples, in interleaved pairs;
# the same for a 10-minute 6 kHz tone at 0.7 of full scale (all of it above the target's Nyquist frequency);
# then the peak memory of both for 1 and 60 minutes of the sweep.
#
#   bench/wav_filter_bench.sh path/to/tavix-cli [pairs]
#
# Needs sox (`apt-get install sox`, for the benchmark only: it also makes the inputs) and GNU time. The work
# directory (about 400 MB under /tmp) is removed at the end.
set -euo pipefail
here=$(dirname "$(realpath "$0")")
. "$here/pairs.sh"

cli=$(realpath "$1")
runs=${2:-21}
command -v sox >/dev/null || { echo "wav_filter_bench: needs sox (apt-get install sox)" >&2; exit 2; }
work=$(mktemp -d /tmp/tavix-wav-filter-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"

for m in 1 10 60; do
    sox -n -r 44100 -b 16 -c 1 -e signed-integer sweep$m.wav synth $((m * 60)) sine 100-4000 vol 0.5
done
sox -n -r 44100 -b 16 -c 1 -e signed-integer tone10.wav synth 600 sine 6000 vol 0.7
# Untimed runs put the inputs in the page cache and leave outputs to replace.
for f in sweep1 sweep10 sweep60 tone10; do
    "$cli" wav resample $f.wav t$f.bin --rate 8000 --bits 8 --filter >/dev/null
    sox $f.wav -r 8000 -b 8 s$f.raw rate
done

pairs "filter 10 min sweep 44.1k -> 8k 8 bit" "$runs" \
    "$cli wav resample sweep10.wav tsweep10.bin --rate 8000 --bits 8 --filter" \
    "sox sweep10.wav -r 8000 -b 8 ssweep10.raw rate"
pairs "filter 10 min 6 kHz tone" "$runs" "$cli wav resample tone10.wav ttone10.bin --rate 8000 --bits 8 --filter" \
    "sox tone10.wav -r 8000 -b 8 stone10.raw rate"
for m in 1 60; do
    pairs "filter $m min (memory)" 3 "$cli wav resample sweep$m.wav tsweep$m.bin --rate 8000 --bits 8 --filter" \
        "sox sweep$m.wav -r 8000 -b 8 ssweep$m.raw rate"
done
