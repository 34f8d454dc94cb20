#!/usr/bin/env bash
# The window's start, launch to mapped, against a bare Qt 6 window of the same frame (seven empty tabs, the
# menus, a status bar of four panels: bench/BareWindow.cpp), alternating which goes first. time-to-map starts
# a program, waits until the X server maps its first top-level window, prints the milliseconds and ends it.
# Prints the minimum, median and maximum of the ratio Tavix / bare and each side's median.
#
#   xvfb-run -a -s '-screen 0 1280x1024x24' bench/window_bench.sh BUILD_DIR [pairs]
#
# BUILD_DIR is a release build with the window (`cmake --preset release -B build/relgui`, then
# `cmake --build build/relgui --target tavix time-to-map bare-window`).
set -euo pipefail
build=$(realpath "$1")
runs=${2:-21}
tavix="$build/src/tavix"
bare="$build/bench/bare-window"
map="$build/bench/time-to-map"
once() { # a start that the X server did not see (a failed connection) is tried again
    local t
    for _ in 1 2 3; do t=$("$map" "$1" 2>/dev/null) && { echo "$t"; return; }; done
    return 1
}
out=$(mktemp)
trap 'rm -f "$out"' EXIT
for ((i = 0; i < runs; i++)); do
    if ((i % 2)); then b=$(once "$bare"); a=$(once "$tavix"); else a=$(once "$tavix"); b=$(once "$bare"); fi
    echo "$a $b" >>"$out"
done
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ratios=$(awk '{ print $1 / $2 }' "$out" | sort -g)
printf 'window start: ratio min/median/max %.2f / %.2f / %.2f over %d pairs; tavix %s ms, bare window %s ms\n' \
    "$(echo "$ratios" | head -n 1)" "$(echo "$ratios" | median)" "$(echo "$ratios" | tail -n 1)" "$runs" \
    "$(awk '{ print $1 }' "$out" | median)" "$(awk '{ print $2 }' "$out" | median)"
