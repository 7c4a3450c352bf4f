#!/usr/bin/env bash
# Builds everything: the native program, its tests and data into build/,
# the Windows program, its tests and data into build/windows/ (cross-built
# with mingw-w64, its generator and tests run under Wine), and the browser
# build into build/web/ (Emscripten; the site in build/web/site/, its
# generator and tests run by node).
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# The configurations are CMakePresets.json's.
for preset in native windows web; do
    cmake --preset $preset >/dev/null
    cmake --build --preset $preset -j"$(nproc)"
done
