#!/usr/bin/env bash
# Builds and runs the frame benchmark: the real frame on an offscreen Mesa
# context at 1024x768 against an empty frame, the game code's own CPU time
# per frame, and instructions per frame under callgrind. FRAMES (600).
set -eu
cd "$(dirname "$0")/.."
scripts/build.sh >/dev/null
exec build/bench/vale_bench build "${FRAMES:-600}"
