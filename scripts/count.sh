#!/usr/bin/env bash
# Test lines against code lines, as a reader counts them (and as the
# before-stop figure does): the non-blank lines of every file under tests/
# and of the code that exists only for the tests elsewhere (the test
# platform, the screenshot checker), against the non-blank lines of the C,
# C++ and JavaScript sources (.c, .cpp, .h, .js) of the rest of src/ and tools/.
set -eu
cd "$(dirname "$0")/.."
lines() { cat "$@" | grep -cv '^\s*$' || true; }
tests=$(lines $(find tests src/platform/testing tools/pixels -type f))
code=$(lines $(find src tools -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' -o -name '*.js' \) \
    ! -path 'src/platform/testing/*' ! -path 'tools/pixels/*'))
awk -v t="$tests" -v c="$code" 'BEGIN { printf "%d test lines against %d lines of code: %.3f\n", t, c, t / c }'
