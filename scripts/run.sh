#!/usr/bin/env bash
# Builds and starts the demo where its generated data/ lives: the native
# build in build/, or with --wine the Windows build in build/windows/ under
# Wine. Without a display it runs in a private Xvfb.
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
    cd windows
    export WINEDEBUG=-all WINEPREFIX="$PWD/wineprefix"
    exec wine vale.exe
fi
exec ./vale
