#!/usr/bin/env bash
# Makes the pictures of the user guide, docs/images/NN-tab.png, one for each tab of the window at work on the
# example project (the example character sheet and a short tone), under Xvfb, so that they never go stale.
# Usage: scripts/screenshots.sh [BUILD_DIR]   (default build/dev, configured with the dev preset if missing)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-build/dev}

if ! command -v xvfb-run >/dev/null; then
  echo "scripts/screenshots.sh needs xvfb-run (Debian package xvfb)." >&2
  exit 1
fi
[ -f "$build/CMakeCache.txt" ] || cmake --preset dev -B "$build" >/dev/null
cmake --build "$build" --target tavix-screenshots make-example-sheet -j "$(nproc)"

# The example project: the README demo's character sheet and a quarter second of a 440 Hz tone.
example=$root/build/screenshots-example
rm -rf "$example"
mkdir -p "$example"
"$build/make-example-sheet" "$example/sheet.bmp"
python3 - "$example/tone.wav" <<'PY'
import math, struct, sys, wave
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(1)
    w.setsampwidth(2)
    w.setframerate(16000)
    w.writeframes(b"".join(struct.pack("<h", int(12000 * math.sin(2 * math.pi * 440 * n / 16000)))
                           for n in range(4000)))
PY

mkdir -p docs/images
rm -f docs/images/[0-9][0-9]-*.png
# The files are named relative to the example's folder, as a user opening them there sees them.
cd "$example"
xvfb-run -a -s '-screen 0 1280x1024x24' "$root/$build/src/tavix-screenshots" "$root/docs/images" sheet.bmp tone.wav
