#!/usr/bin/env bash
# Uses a package as a person would, in its own Xvfb: unpacks or installs it,
# checks that it holds what it should and nothing else, and plays it.
#   zip: the Windows zip, unpacked and run where it lies under a fresh Wine
#        prefix; the log is written inside the unpacked folder.
#   deb: the Debian package, unpacked into a throw-away root; its launcher run
#        twice for a new user: the first run makes the user's data folder, the
#        second keeps a changed Config.cfg; the log lands there, not in share/.
#   tgz: the portable Linux archive, unpacked.
# Usage: package_test.sh zip|deb|tgz PACKAGE DATA_DIR WORK_DIR
. "$(dirname "$0")/lib.sh"
kind=$1 package=$2 data=$3 work=$4/package-$1
rm -rf "$work" && mkdir -p "$work/root"
case "$kind" in
    zip) unzip -q "$package" -d "$work/root" ;;
    tgz) tar -xzf "$package" -C "$work/root" ;;
    deb) dpkg -x "$package" "$work/root" ;;
esac || fail "cannot unpack $package"

# contents PREFIX FILE...: exactly the generated data under PREFIX/data and
# the files named, no empty folder.
contents() {
    local prefix=$1; shift
    (cd "$work/root" && find . -type f | sed 's|^\./||' | sort) > "$work/found"
    { (cd "$data" && find . -type f ! -name fps.txt ! -name .stamp | sed "s|^\.|$prefix/data|"); printf '%s\n' "$@"; } |
        sort > "$work/expected"
    diff "$work/expected" "$work/found" >&2 || fail "the $kind package holds other files (< expected, > found)"
    [ -z "$(find "$work/root" -type d -empty)" ] || fail "empty folders in the $kind package"
}

# play DIR COMMAND...: starts the program there; it plays past the log's two seconds.
play() {
    cd "$1"; shift
    "$@" >"$work/program.log" 2>&1 &
    APP_PID=$!
    playing logged
}

start_xvfb
top=$(basename "$package"); top=${top%.zip}; top=${top%.tar.gz}
case "$kind" in
zip)
    contents "$top" "$top/vale.exe" "$top/README.md" "$top/LICENSE"
    export WINEDEBUG=-all WINEPREFIX=$work/wineprefix
    timeout 120 wineboot -i >/dev/null 2>&1
    play "$work/root/$top" wine vale.exe
    send_key "$WIN" Escape
    expect_exit 0 "after Escape"
    check_log "$work/root/$top/data/fps.txt" ;;
tgz)
    contents "$top" "$top/vale" "$top/README.md" "$top/LICENSE"
    [ -x "$work/root/$top/vale" ] || fail "the program is not executable" ;;
deb)
    contents usr/share/vale usr/bin/vale usr/libexec/vale/vale usr/share/applications/vale.desktop \
        usr/share/icons/hicolor/64x64/apps/vale.png usr/share/doc/vale/README.md usr/share/doc/vale/copyright
    depends=$(dpkg-deb -f "$package" Depends)  # worked out from the program's libraries
    [[ "$depends" =~ libc6.*libglu1.*libx11-6 ]] || fail "the package's dependencies: $depends"
    export HOME=$work/home XDG_DATA_HOME=
    mine=$HOME/.local/share/vale/data
    play "$work" "$work/root/usr/bin/vale"
    send_key "$WIN" Escape
    expect_exit 0 "after Escape, first run"
    diff -r "$work/root/usr/share/vale/data" "$mine" | grep -qv '^Only in .*: fps.txt$' && fail "the user's data differs"
    check_log "$mine/fps.txt"
    [ -z "$(find "$work/root" -name fps.txt)" ] || fail "fps.txt written beside the package's data"
    printf 'fullscreen 0\nresolution_width 640\nresolution_height 480\n' > "$mine/Config.cfg"
    play "$work" "$work/root/usr/bin/vale"
    [ "$(geometry "$WIN" | cut -d+ -f1)" = 640x480 ] || fail "the changed Config.cfg was not read"
    send_key "$WIN" Escape
    expect_exit 0 "after Escape, second run"
    grep -q 'resolution_width 640' "$mine/Config.cfg" || fail "the changed Config.cfg was replaced" ;;
esac
echo "$kind package test passed"
