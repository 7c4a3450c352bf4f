#!/usr/bin/env bash
# Builds everything: the native program, its tests and data into build/,
# the Windows program, its tests and data into build/windows/ (cross-built
# with mingw-w64, its generator and tests run under Wine), and the browser
# build into build/web/ (Emscripten; the site in build/web/site/, its
# generator and tests run by node).
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON >/dev/null
cmake --build build -j"$(nproc)"
cmake -S . -B build/windows -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake >/dev/null
cmake --build build/windows -j"$(nproc)"
cmake -S . -B build/web -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DCMAKE_TOOLCHAIN_FILE=cmake/emscripten.cmake \
    -DVALE_NATIVE_BUILD="$PWD/build" >/dev/null
cmake --build build/web -j"$(nproc)"
