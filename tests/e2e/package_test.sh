#!/usr/bin/env bash
# Uses a package as a person would, in its own Xvfb: unpacks or installs
# it, checks that it holds what it should and nothing else, and plays it.
# zip: the Windows zip (its program is the one windows.play plays); deb:
# the Debian package, played twice by a new user from a throw-away root;
# tgz: the portable Linux archive; web: the browser build's zip, the site
# as built.
# Usage: package_test.sh zip|deb|tgz|web PACKAGE DATA_DIR|SITE_DIR WORK_DIR
. "$(dirname "$0")/lib.sh"
kind=$1 package=$2 data=$3 work=$4/package-$1
rm -rf "$work" && mkdir -p "$work/root"
case "$kind" in
    zip|web) unzip -q "$package" -d "$work/root" ;;
    tgz) tar -xzf "$package" -C "$work/root" ;;
    deb) dpkg -x "$package" "$work/root" ;;
esac || fail "cannot unpack $package"

# contents PREFIX FILE...: exactly the files named and the generated data
# under PREFIX/data; no empty folder.
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

# window_identity WINDOW DESKTOP_ENTRY ICON_THEME: the window's class is the
# entry's StartupWMClass, its title is set in UTF-8 too, and its icon is the
# packaged one, pixel for pixel, at 16, 32, 48 and 64 pixels.
window_identity() {
    local class icon expected n
    class=$(sed -n 's/^StartupWMClass=//p' "$2")
    [ "$(xprop -id "$1" -notype WM_CLASS)" = "WM_CLASS = \"vale\", \"$class\"" ] ||
        fail "WM_CLASS $(xprop -id "$1" WM_CLASS), not $class"
    [ "$(xprop -id "$1" _NET_WM_NAME)" = "_NET_WM_NAME(UTF8_STRING) = \"$kWindowTitle\"" ] ||
        fail "$(xprop -id "$1" _NET_WM_NAME)"
    icon=$(xprop -id "$1" -notype -f _NET_WM_ICON 32c '=$0+' _NET_WM_ICON | sed 's/^_NET_WM_ICON=//')
    expected=$(for n in 16 32 48 64; do
        printf '%s\n%s\n' $n $n
        convert "$3/${n}x$n/apps/vale.png" -depth 8 rgba:- | od -An -v -tu1 -w4 |
            awk '{printf "%.0f\n", (($4 * 256 + $1) * 256 + $2) * 256 + $3}'
    done | paste -sd, | sed 's/,/, /g')
    [ "$icon" = "$expected" ] || fail "the window's icon is not the packaged one"
}

# exe_resources EXE VERSION: the icon at 16 to 256 pixels (after the icon
# directory's 6 bytes, 14 a picture, each led by its width, 0 for 256), the
# version information at the packages' version, and a manifest.
exe_resources() {
    local sizes version field
    sizes=$(wrestool -x --raw --type=14 "$1" | od -An -v -tu1 -j6 -w14 | awk '{print $1}' | paste -sd' ')
    [ "$sizes" = "16 32 48 64 0" ] || fail "vale.exe's icon sizes: $sizes"
    version=$(wrestool -x --raw --type=16 "$1" | iconv -f UTF-16LE -t UTF-8 -c | tr -c '[:print:]' '\n' | grep . | paste -sd'|')
    for field in "|ProductVersion|$2" "|FileVersion|$2"; do
        [[ "$version" == *"$field"* ]] || fail "vale.exe's version information lacks $field: $version"
    done
    [ -n "$(wrestool -x --raw --type=24 "$1")" ] || fail "vale.exe has no manifest"
}

top=$(basename "$package"); top=${top%.zip}; top=${top%.tar.gz}
[ "$kind" != deb ] || start_xvfb
case "$kind" in
web)  # the build's site, byte for byte (as web.play plays it), beside the licence and the player's README
    diff -r -x LICENSE -x README.txt "$data" "$work/root/$top" >&2 && [ -f "$work/root/$top/LICENSE" ] &&
        cmp -s "$(dirname "$0")/../../packaging/README" "$work/root/$top/README.txt" || fail "the web package is not the site" ;;
zip)
    contents "$top" "$top/vale.exe" "$top/README.txt" "$top/LICENSE.txt"
    for text in packaging/README LICENSE; do
        file="$work/root/$top/$(basename $text).txt"
        [ "$(grep -c $'\r$' "$file")" = "$(wc -l < "$file")" ] || fail "$file has line ends other than CR LF"
        tr -d '\r' < "$file" | cmp -s - "$(dirname "$0")/../../$text" || fail "$file is not $text"
    done
    version=${top#vale-}
    exe_resources "$work/root/$top/vale.exe" "${version%%-*}" ;;
tgz)
    contents "$top" "$top/vale" "$top/README" "$top/LICENSE"
    [ -x "$work/root/$top/vale" ] || fail "the program is not executable" ;;
deb)
    icons=; for n in 16 32 48 64 128 256; do icons="$icons usr/share/icons/hicolor/${n}x$n/apps/vale.png"; done
    contents usr/share/games/vale usr/games/vale usr/libexec/vale/vale usr/share/applications/vale.desktop $icons \
        usr/share/metainfo/org.example.vale.metainfo.xml usr/share/man/man6/vale.6.gz \
        usr/share/doc/vale/README usr/share/doc/vale/changelog.gz usr/share/doc/vale/copyright
    depends=$(dpkg-deb -f "$package" Depends)  # worked out from the program's libraries
    [[ "$depends" =~ libc6.*libglu1.*libx11-6 ]] || fail "the package's dependencies: $depends"
    lintian --pedantic --display-info --display-experimental --fail-on error,warning,info,pedantic,experimental \
        "$package" >&2 || fail "lintian: see above"
    desktop-file-validate "$work/root/usr/share/applications/vale.desktop" >&2 || fail "the desktop entry"
    appstreamcli validate --pedantic --no-net "$work/root/usr/share/metainfo/org.example.vale.metainfo.xml" >&2 ||
        fail "the AppStream metainfo"
    # Hardened: lintian fails a program without PIE, RELRO, immediate binding or the fortified functions,
    # or that keeps its compiler notes; the stack protector is ours to check.
    readelf --dyn-syms -W "$work/root/usr/libexec/vale/vale" | grep -q __stack_chk_fail || fail "no stack protector"
    export HOME=$work/home XDG_DATA_HOME=
    mine=$HOME/.local/share/vale/data
    play "$work" "$work/root/usr/games/vale"
    window_identity "$WIN" "$work/root/usr/share/applications/vale.desktop" "$work/root/usr/share/icons/hicolor"
    send_key "$WIN" Escape
    expect_exit 0 "after Escape, first run"
    diff -r "$work/root/usr/share/games/vale/data" "$mine" | grep -qv '^Only in .*: fps.txt$' && fail "the user's data differs"
    check_log "$mine/fps.txt"
    [ -z "$(find "$work/root" -name fps.txt)" ] || fail "fps.txt written beside the package's data"
    printf 'fullscreen 0\nresolution_width 640\nresolution_height 480\n' > "$mine/Config.cfg"
    play "$work" "$work/root/usr/games/vale"
    [ "$(geometry "$WIN" | cut -d+ -f1)" = 640x480 ] || fail "the changed Config.cfg was not read"
    send_key "$WIN" Escape
    expect_exit 0 "after Escape, second run"
    grep -q 'resolution_width 640' "$mine/Config.cfg" || fail "the changed Config.cfg was replaced" ;;
esac
echo "$kind package test passed"
