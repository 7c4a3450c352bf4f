#!/usr/bin/env bash
# Builds and starts the demo: vale.exe under Wine, from build/ where the
# generated data/ lives. Without a display it runs in a private Xvfb.
set -eu
cd "$(dirname "$0")/.."
scripts/build.sh
cd build
export WINEDEBUG=-all WINEPREFIX="$PWD/wineprefix"
if [ -z "${DISPLAY:-}" ]; then
    Xvfb :77 -screen 0 1280x1024x24 >/dev/null 2>&1 &
    export DISPLAY=:77
    sleep 1
fi
exec wine windows/vale.exe
