#!/usr/bin/env bash
# Builds and starts the demo where its generated data/ lives: the native
# program in build/, or with --wine vale.exe in build/windows/ under Wine;
# with --web it builds the browser build and serves build/web/site/ on
# this machine's loopback until stopped, printing the address to open.
# It installs and builds only what it runs (the program, its data), and
# without a display it runs the game in a private Xvfb. However the game
# ends, every process this script started is stopped with it.
set -eu
cd "$(dirname "$0")/.."
case "${1:-}" in
    "") dir=build profile=run preset=native ;;
    --wine) dir=build/windows profile=run-wine preset=windows ;;
    --web) dir=build/web profile=run-web preset=web ;;
    *) echo "usage: scripts/run.sh [--wine|--web]" >&2; exit 2 ;;
esac
scripts/install-deps.sh $profile
# A first configuration leaves the tests out; scripts/build.sh brings them in.
[ -f $dir/CMakeCache.txt ] || cmake --preset $preset -DBUILD_TESTING=OFF >/dev/null
cmake --build $dir -j"$(nproc)" --target vale data
if [ "${1:-}" = --web ]; then
    cmake --build $dir --target site_icon
    port=${VALE_PORT:-8017}
    echo "run.sh: Vale is served at http://127.0.0.1:$port/ (Ctrl-C stops it)"
    exec python3 -m http.server --bind 127.0.0.1 --directory $dir/site "$port"
fi

xvfb= game=
stop() {
    [ -n "$game" ] && kill "$game" 2>/dev/null
    [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    wait 2>/dev/null
}
trap stop EXIT
trap 'exit 130' INT TERM
if [ -z "${DISPLAY:-}" ]; then
    for n in $(seq 77 199); do
        [ -e /tmp/.X$n-lock ] && continue
        Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb=$! DISPLAY=:$n
        export DISPLAY
        for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break 2; sleep 0.1; done
        kill "$xvfb" 2>/dev/null; xvfb=
    done
    [ -n "$xvfb" ] || { echo "run.sh: no Xvfb" >&2; exit 1; }
    echo "run.sh: playing on the private display $DISPLAY"
fi
cd $dir
# The game waited for in the background, so that a signal to this script
# ends it too.
if [ "${1:-}" = --wine ]; then
    export WINEDEBUG=-all WINEPREFIX="$PWD/wineprefix"
    wine vale.exe &
else
    ./vale &
fi
game=$!
status=0
wait $game || status=$?
game=
exit $status
