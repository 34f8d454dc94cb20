#!/usr/bin/env bash
# The whole `tavix-cli osd` process on a 1024 x 768 8-bit sheet (16 x 16 cells, C, RGB888: the eight font
# files, 4.8 MB) against one `cp` of those eight files, in interleaved pairs (bench/pairs.sh). The sheet is
# the pseudo-random one `make-aosd-frames --sheet` writes (the pattern osd_bench times).
#
#   bench/osd_cli_bench.sh path/to/tavix-cli path/to/make-aosd-frames [pairs]
set -euo pipefail
here=$(dirname "$(realpath "$0")")
. "$here/pairs.sh"

cli=$(realpath "$1")
frames=$(realpath "$2")
runs=${3:-21}
work=$(mktemp -d /tmp/tavix-osd-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$frames" --sheet sheet.bmp
mkdir -p out copy
"$cli" osd sheet.bmp --out out >/dev/null 2>&1 # untimed: page cache, outputs in place
cp out/* copy/
pairs "osd 1024x768 8 bpp" "$runs" "$cli osd sheet.bmp --out out" "cp $(echo out/*) copy/"
