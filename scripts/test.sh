#!/usr/bin/env bash
# Builds and runs every test of the three builds: unit, OpenGL read-back and the
# end-to-end runs; native.* in build/, windows.* (under Wine) in build/windows/,
# web.* (under node, and in headless Chromium) in build/web/.
set -eu
cd "$(dirname "$0")/.."
scripts/build.sh
status=0
ctest --test-dir build --output-on-failure -j2 --timeout 600 || status=1
# Wine's runs wait on its server more than they compute: three at a time.
ctest --test-dir build/windows --output-on-failure -j3 --timeout 600 || status=1
ctest --test-dir build/web --output-on-failure -j2 --timeout 600 || status=1
exit $status
