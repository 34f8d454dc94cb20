#!/usr/bin/env bash
# `tavix-cli wav resample` of a 10-minute 44.1 kHz 16-bit mono sweep (100 to 4000 Hz at half scale: sox's
# speed depends on the signal, and a clipped one flatters the ratio) to 8000 Hz 8-bit, against
# `sox F.wav -r 8000 -b 8 out.raw rate -q`, in interleaved pairs; then the peak memory of both for 1, 10 and
# 60 minutes.
#
#   bench/wav_bench.sh path/to/tavix-cli [pairs]
#
# Needs sox (`apt-get install sox`, for the benchmark only: it also makes the inputs) and GNU time. The work
# directory (about 400 MB under /tmp) is removed at the end.
set -euo pipefail
here=$(dirname "$(realpath "$0")")
. "$here/pairs.sh"

cli=$(realpath "$1")
runs=${2:-21}
command -v sox >/dev/null || { echo "wav_bench: needs sox (apt-get install sox)" >&2; exit 2; }
work=$(mktemp -d /tmp/tavix-wav-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"

for m in 1 10 60; do
    sox -n -r 44100 -b 16 -c 1 -e signed-integer sweep$m.wav synth $((m * 60)) sine 100-4000 vol 0.5
done
# Untimed runs put the inputs in the page cache and leave outputs to replace.
for m in 1 10 60; do
    "$cli" wav resample sweep$m.wav t$m.bin --rate 8000 --bits 8 >/dev/null
    sox sweep$m.wav -r 8000 -b 8 s$m.raw rate -q
done

pairs "resample 10 min 44.1k -> 8k 8 bit" "$runs" "$cli wav resample sweep10.wav t10.bin --rate 8000 --bits 8" \
    "sox sweep10.wav -r 8000 -b 8 s10.raw rate -q"
for m in 1 60; do
    pairs "resample $m min (memory)" 3 "$cli wav resample sweep$m.wav t$m.bin --rate 8000 --bits 8" \
        "sox sweep$m.wav -r 8000 -b 8 s$m.raw rate -q"
done
