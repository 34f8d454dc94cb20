#!/usr/bin/env bash
# `tavix-cli merge OUT FILE...` of 100 files against `cat FILE... >cat.out`, in interleaved pairs, for inputs
# of 10 MiB, 100 MiB and 1 GiB in all (bench/pairs.sh). Outputs stay in place between runs, so each run
# replaces the last one's as a user's re-run would.
#
#   bench/merge_bench.sh path/to/tavix-cli [pairs] [work-directory]
#
# The work directory (default: a new one under /tmp) needs about 3.5 GiB free; it is removed at the end.
set -euo pipefail
here=$(dirname "$(realpath "$0")")
. "$here/pairs.sh"

cli=$(realpath "$1")
runs=${2:-11}
work=${3:-$(mktemp -d /tmp/tavix-merge-bench-XXXXXX)}
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT

for total in 10 100 1024; do
    dir="$work/m$total"
    mkdir -p "$dir"
    cd "$dir"
    for i in $(seq -w 0 99); do head -c $((total * 1048576 / 100)) /dev/urandom >"p$i.bin"; done
    files=$(echo p*.bin)
    "$cli" merge out $files >/dev/null # untimed: the inputs into the page cache, the outputs in place
    cat $files >cat.out
    cmp out.BIN cat.out
    n=$runs
    [ "$total" -ge 1024 ] && n=$(((runs + 1) / 2)) # the 1 GiB pairs take seconds each
    pairs "merge 100 files, $total MiB" "$n" "$cli merge out $files" "cat $files >cat.out"
    cd "$work"
    rm -rf "$dir"
done
