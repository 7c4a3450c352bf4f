#!/usr/bin/env bash
# Builds and runs the frame benchmark: the real frame on an offscreen Mesa
# context at 1024x768 against the same frame replayed from a display list and
# an empty frame, in interleaved rounds; the full frame's frame times; the
# game code's own CPU time per frame; and instructions per frame under
# callgrind. FRAMES (600) sets the frames counted by callgrind and the CPU
# time. Mesa rasterises on the calling thread (LP_NUM_THREADS 0) unless told
# otherwise: on a shared machine its helper threads wait for a free core, and
# the figures would measure the waiting.
#
# With --web: the browser build's frame rate in headless Chromium against the
# native program's, in interleaved rounds, and the download's size
# (tools/bench/web_bench.mjs).
set -eu
cd "$(dirname "$0")/.."
scripts/build.sh >/dev/null
[ "${1:-}" = --web ] && exec node tools/bench/web_bench.mjs build build/web/site "${ROUNDS:-7}"
export LP_NUM_THREADS=${LP_NUM_THREADS:-0}
exec build/bench/vale_bench build "${FRAMES:-600}"
