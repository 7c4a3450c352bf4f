#!/usr/bin/env bash
# Builds both programs and writes the three packages into build/packages/:
# the Windows zip, the Debian package and the portable Linux archive.
set -eu
cd "$(dirname "$0")/.."
scripts/build.sh
out=build/packages
rm -rf "$out"
cpack --config build/windows/CPackConfig.cmake -B "$out"
cpack --config build/CPackConfig.cmake -B "$out"
rm -rf "$out/_CPack_Packages"
ls -l "$out"
