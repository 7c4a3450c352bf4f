#!/usr/bin/env bash
# Failed starts of the program in its own Xvfb (vale.exe under Wine, or the
# native build): each shows its message box and ends with its status.
# Usage: shell_test.sh wine|native PROGRAM DATA_DIR WORK_DIR
. "$(dirname "$0")/lib.sh"
mode=$1 exe=$2 data=$3 work=$4/$1
mkdir -p "$work"
start_xvfb

# Without data/: "Error -31", and the process ends with -1 once it is dismissed.
empty=$work/shell-empty
rm -rf "$empty" && mkdir -p "$empty"
run_in "$mode" "$exe" "$empty"
dismiss_box "Error -31" alone
expect_exit 255 "after Error -31"
[ "$mode" = native ] || { echo "$mode shell test passed"; exit 0; }
# A full-screen mode the display cannot take: "Error -2", no window, status 0.
# (Xvfb's only mode is its 1280x1024 screen; Wine emulates mode changes.)
run=$work/shell-run
rm -rf "$run" && mkdir -p "$run" && cp -r "$data" "$run/data"
rm -f "$run/data/fps.txt"
printf 'fullscreen 1\nresolution_width 1000\nresolution_height 700\n' > "$run/data/Config.cfg"
run_in "$mode" "$exe" "$run"
dismiss_box "Error -2" alone
expect_exit 0 "after Error -2"
[ ! -f data/fps.txt ] || fail "fps.txt written after a failed start"
# A driver without the multitexture extension: "Error -34", and the run ends
# before its first frame.
printf 'fullscreen 0\nresolution_width 640\nresolution_height 480\n' > data/Config.cfg
MESA_EXTENSION_OVERRIDE=-GL_ARB_multitexture run_in "$mode" "$exe" "$run"
dismiss_box "Error -34"
expect_exit 0 "after Error -34"
[ ! -f data/fps.txt ] || fail "fps.txt written without a frame"
echo "$mode shell test passed"
