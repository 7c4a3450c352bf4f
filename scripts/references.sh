#!/usr/bin/env bash
# Records the reference frames of the OpenGL tests' scripted run anew, as
# PNG into tests/gl/references/. The run is compared with the references as
# they stand first: each new frame and its difference from the old one
# (brighter where they differ more) are left in build/gl-frames/ as PNG, to
# look at before committing the new references, which git then shows changed.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset native >/dev/null
cmake --build build -j"$(nproc)" --target gl_tests
(cd build && ../tests/e2e/with_xvfb.sh tests/gl_tests --gtest_filter='ReferenceTest.*') || true
for frame in build/gl-frames/*.ppm; do
    name=$(basename "${frame%.ppm}")
    case "$name" in *-difference) ;; *) convert "$frame" -strip "tests/gl/references/$name.png" ;; esac
    convert "$frame" "${frame%.ppm}.png" && rm "$frame"
done
echo "recorded into tests/gl/references/; the frames and their differences from the old ones are in build/gl-frames/"
