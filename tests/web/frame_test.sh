#!/usr/bin/env bash
# The browser's first frame against the native build's at the same state:
# the native benchmark draws its first frame on offscreen Mesa, the page its
# own in headless Chromium, and web_test.mjs compares them.
#   frame_test.sh NATIVE_BUILD SITE_DIR WORK_DIR
set -eu
native=$(cd "$1" && pwd) site=$2 work=$3
mkdir -p "$work"
frame=$(cd "$work" && pwd)/first-native.rgba
[ -x "$native/bench/vale_bench" ] || { echo "FAIL: no native benchmark in $native" >&2; exit 1; }
(cd "$native" && VALE_BENCH_FIRST=$frame LP_NUM_THREADS=0 bench/vale_bench .)
exec node "$(dirname "$0")/web_test.mjs" frame "$site" "$work" "$frame"
