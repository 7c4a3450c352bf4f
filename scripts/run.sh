#!/usr/bin/env bash
# Builds and starts the demo from build/, where the generated data/ lives:
# the native build, or with --wine the Windows build under Wine. Without a
# display it runs in a private Xvfb.
set -eu
cd "$(dirname "$0")/.."
scripts/build.sh
cd build
if [ -z "${DISPLAY:-}" ]; then
    Xvfb :77 -screen 0 1280x1024x24 >/dev/null 2>&1 &
    export DISPLAY=:77
    sleep 1
fi
if [ "${1:-}" = --wine ]; then
    export WINEDEBUG=-all WINEPREFIX="$PWD/wineprefix"
    exec wine windows/vale.exe
fi
exec ./vale
