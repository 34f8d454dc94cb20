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

merge_pairs "merge" "$cli merge" "$runs" "$work"
