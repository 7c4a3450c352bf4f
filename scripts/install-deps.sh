#!/usr/bin/env bash
# Installs what Vale needs on Debian: with "run", what building and running
# the native program takes; with "run-wine", what building vale.exe and
# running it under Wine takes; with "run-web", what building the browser
# build and serving it takes; with nothing, everything the builds, the tests
# and the packages need, the browser tests' driver (puppeteer-core, from
# npm, into node_modules/ beside package.json) included.
set -eu
run="cmake make g++ pkg-config libgl1-mesa-dev libglu1-mesa-dev libx11-dev libxrandr-dev libxss-dev libasound2-dev libstb-dev
  xvfb x11-utils"
wine="g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine wine64"
web="cmake make emscripten nodejs python3"
case "${1:-all}" in
    run) packages=$run ;;
    run-wine) packages="$run $wine" ;;
    run-web) packages=$web ;;
    all) packages="$run $wine libgtest-dev libgmock-dev googletest dpkg-dev file unzip xdotool imagemagick clang
           libclang-rt-14-dev valgrind libosmesa6-dev libegl-dev libgles-dev lintian desktop-file-utils appstream icoutils cloc
           $web chromium firefox-esr" ;;
    *) echo "usage: $0 [run|run-wine|run-web]" >&2; exit 2 ;;
esac
missing=
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
# npm comes with Debian's package of that name, or within another node's
# package (which conflicts with Debian's): asked for only where it is missing.
[ "${1:-all}" != all ] || command -v npm >/dev/null || missing="$missing npm"
sudo=; [ "$(id -u)" = 0 ] || sudo=sudo
if [ -n "$missing" ]; then
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends $missing
fi
top=$(dirname "$0")/..
if [ "${1:-all}" = all ] && [ ! -d "$top/node_modules/puppeteer-core" ]; then
    (cd "$top" && npm ci --no-audit --no-fund --omit-lockfile-registry-resolved >/dev/null)
fi
