#!/usr/bin/env bash
# Installs what building, running and testing Vale needs on Debian.
set -eu
packages="cmake make g++ pkg-config libgtest-dev libgmock-dev googletest libgl1-mesa-dev libglu1-mesa-dev libx11-dev
  libxrandr-dev libxss-dev libasound2-dev g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine wine64
  dpkg-dev file unzip xvfb xdotool x11-utils imagemagick clang libclang-rt-14-dev valgrind libosmesa6-dev"
missing=
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
sudo=; [ "$(id -u)" = 0 ] || sudo=sudo
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends $missing
