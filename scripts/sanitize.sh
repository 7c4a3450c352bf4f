#!/usr/bin/env bash
# The unit tests, the OpenGL read-back tests and the native program's
# end-to-end runs (failed starts, a full-screen run, the window and server
# lost, and a played session) in a build checked by AddressSanitizer and
# UndefinedBehaviorSanitizer, in build-asan/. Any report fails the run.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j"$(nproc)"
ctest --test-dir build-asan --output-on-failure -R '^native\.(startup|play|gl|gl11|[A-Z].*)$'
