#!/usr/bin/env bash
# Builds every program and writes the four packages into build/packages/:
# the Windows zip, the Debian package, the portable Linux archive and the
# browser build's zip.
set -eu
cd "$(dirname "$0")/.."
scripts/build.sh
out=build/packages
rm -rf "$out"
cpack --config build/windows/CPackConfig.cmake -B "$out"
cpack --config build/CPackConfig.cmake -B "$out"
cpack --config build/web/CPackConfig.cmake -B "$out"
rm -rf "$out/_CPack_Packages"
ls -l "$out"
