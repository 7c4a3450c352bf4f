#!/usr/bin/env bash
# Test lines against code lines, as a reader counts them: the non-blank
# lines of the tracked files under tests/ and of the code that exists only
# for the tests elsewhere (the test platform, the screenshot checker),
# against the non-blank lines of the rest of src/ and tools/.
set -eu
cd "$(dirname "$0")/.."
lines() { git ls-files -co --exclude-standard "$@" | while read -r f; do [ -f "$f" ] && cat "$f"; done | grep -c '[^[:space:]]' || true; }
tests=$(lines tests src/platform/testing tools/pixels)
code=$(lines src tools ':!src/platform/testing' ':!tools/pixels')
awk -v t="$tests" -v c="$code" 'BEGIN { printf "%d test lines against %d lines of code: %.3f\n", t, c, t / c }'
