#!/usr/bin/env bash
# Builds and runs every test: unit, OpenGL read-back and the end-to-end runs.
set -eu
cd "$(dirname "$0")/.."
scripts/build.sh
cd build
ctest --output-on-failure -j2 --timeout 600
