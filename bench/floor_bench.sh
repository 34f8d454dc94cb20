#!/usr/bin/env bash
# The floor under two of the job benchmarks: `lean-writer`, which does nothing but the system calls of
# replacing the outputs safely, against the same peers in the same interleaved pairs (bench/pairs.sh).
#  - the eight OSD font files of the 1024 x 768 sheet (osd_cli_bench.sh), written from memory, against one `cp`
#    of them; once replaced safely, once rewritten in place as `cp` does (the difference is what the safe
#    replacement costs);
#  - 100 files of 10 MiB, 100 MiB and 1 GiB in all merged with a table (merge_bench.sh), against `cat`.
# A job cannot come closer to its peer than its floor does.
#
#   bench/floor_bench.sh path/to/lean-writer path/to/tavix-cli path/to/make-aosd-frames [pairs]
#
# The work directory (a new one under /tmp, about 3.5 GiB) is removed at the end.
set -euo pipefail
here=$(dirname "$(realpath "$0")")
. "$here/pairs.sh"

lean=$(realpath "$1")
cli=$(realpath "$2")
frames=$(realpath "$3")
runs=${4:-21}
work=$(mktemp -d /tmp/tavix-floor-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"

"$frames" --sheet sheet.bmp
mkdir -p out copy lean inplace
"$cli" osd sheet.bmp --out out >/dev/null 2>&1
cp out/* copy/
"$lean" write lean out/*
"$lean" overwrite inplace out/*
pairs "floor: OSD files replaced" "$runs" "$lean write lean $(echo out/*)" "cp $(echo out/*) copy/"
pairs "floor: OSD files rewritten in place" "$runs" "$lean overwrite inplace $(echo out/*)" "cp $(echo out/*) copy/"

merge_pairs "floor: merge" "$lean merge" "$runs" "$work"
