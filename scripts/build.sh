#!/usr/bin/env bash
# Builds everything into build/: the game, its tests, the data and vale.exe.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"
