#!/usr/bin/env bash
# Records the reference frames of the OpenGL tests' scripted run anew, into
# tests/gl/references/. First the run is compared with the references as
# they stand: each new frame and its difference from the old reference
# (brighter where they differ more) are left in build/gl-frames/ as PNG, to
# look at before committing the new references that git then shows changed.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON >/dev/null
cmake --build build -j"$(nproc)" --target gl_tests
run() { (cd build && ../tests/e2e/with_xvfb.sh tests/gl_tests --gtest_filter='ReferenceTest.*'); }
run || true
for frame in build/gl-frames/*.ppm; do convert "$frame" "${frame%.ppm}.png" && rm "$frame"; done
VALE_RECORD=1 run >/dev/null
echo "recorded into tests/gl/references/; the frames and their differences from the old ones are in build/gl-frames/"
