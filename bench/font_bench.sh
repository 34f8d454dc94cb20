#!/usr/bin/env bash
# `tavix-cli font bank --ascii --code` (find the start font, render and insert the 95 glyphs of codes
# 33..127, save FontBank.txt and FontBank.bin, write the code files) against `fc-match sans-serif`, the cost
# of finding a font at all, in interleaved pairs (bench/pairs.sh).
#
#   bench/font_bench.sh path/to/tavix-cli [pairs]
set -euo pipefail
here=$(dirname "$(realpath "$0")")
. "$here/pairs.sh"

cli=$(realpath "$1")
runs=${2:-21}
work=$(mktemp -d /tmp/tavix-font-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"

"$cli" font bank --ascii --code --out out >/dev/null 2>&1 || true # untimed: caches, outputs in place
pairs "font bank --ascii --code" "$runs" "$cli font bank --ascii --code --out out" "fc-match sans-serif"
