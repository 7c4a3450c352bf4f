#!/usr/bin/env bash
# The program in its own Xvfb (vale.exe under Wine, or the native build):
# the window opens and draws, Escape ends the run and data/fps.txt is written
# in its format; without data/ the configuration error is shown and the exit
# status is -1.
# Usage: shell_test.sh wine|native PROGRAM DATA_DIR WORK_DIR
. "$(dirname "$0")/lib.sh"
mode=$1 exe=$2 data=$3 work=$4/$1
mkdir -p "$work"
start_xvfb

run=$work/shell-run
rm -rf "$run" && mkdir -p "$run" && cp -r "$data" "$run/data"
setup_program "$mode" "$exe" "$run"
rm -f "$run/data/fps.txt"
printf 'fullscreen 0\nframeratecounter 2\nresolution_width 800\nresolution_height 600\n' > "$run/data/Config.cfg"
cd "$run"
launch
win=$(wait_window "Vale - by Pellam" 60) || fail "no window titled 'Vale - by Pellam'"
sleep 3  # past the two-second warm-up, so the log is written
screenshot "$work/shell.png"
geometry=$(xwininfo -id "$win" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w"x"h}')
[ "$geometry" = "800x600" ] || fail "client area is $geometry, not 800x600"
b=$(brightness "$work/shell.png" 800x600+0+0)
greater "$b" 0.1 || fail "the frame is black (mean $b)"
send_keys "$win" Escape
wait_exit $APP_PID 20 || fail "Escape did not end the program"
APP_PID=
[ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS after Escape"
[ -f data/fps.txt ] || fail "no data/fps.txt"
# Text mode: Windows ends the lines with CR LF, Linux with LF.
lines=$(tr -d '\r' < data/fps.txt; echo)
echo "$lines" | head -1 | grep -Eq '^ low peak: [0-9]+\.[0-9]{6}$' || fail "fps.txt line 1: $(echo "$lines" | head -1)"
echo "$lines" | sed -n 2p | grep -Eq '^  average: [0-9]+\.[0-9]{6}$' || fail "fps.txt line 2"
echo "$lines" | sed -n 3p | grep -Eq '^high peak: [0-9]+\.[0-9]{6}$' || fail "fps.txt line 3"
[ "$(tail -c 1 data/fps.txt | od -An -c | tr -d ' ')" != '\n' ] || fail "fps.txt ends with a line end"
[ "$(wc -l < data/fps.txt)" = 2 ] || fail "fps.txt does not have three lines"

# Without data/: "Error -31", and the process ends with -1 once it is dismissed.
empty=$work/shell-empty
rm -rf "$empty" && mkdir -p "$empty"
setup_program "$mode" "$exe" "$empty"
cd "$empty"
launch
box=$(wait_window "Error -31" 60) || fail "no 'Error -31' box"
[ -z "$(xdotool search --name '^Vale - by Pellam$' 2>/dev/null)" ] || fail "a window exists beside the error"
screenshot "$work/shell-error.png"
send_keys "$box" Return
wait_exit $APP_PID 20 || fail "the program did not end after the box"
APP_PID=
[ "$EXIT_STATUS" = 255 ] || fail "exit status $EXIT_STATUS, not 255"
# A full-screen mode the display cannot take: "Error -2", no window, status 0.
# (Xvfb's only mode is its 1280x1024 screen; Wine emulates mode changes.)
if [ "$mode" = native ]; then
    cd "$run"
    rm -f data/fps.txt
    printf 'fullscreen 1\nresolution_width 1000\nresolution_height 700\n' > data/Config.cfg
    launch
    box=$(wait_window "Error -2" 30) || fail "no 'Error -2' box for an impossible mode"
    [ -z "$(xdotool search --name '^Vale - by Pellam$' 2>/dev/null)" ] || fail "a window despite the failed mode"
    send_keys "$box" Return
    wait_exit $APP_PID 20 || fail "the program did not end after Error -2"
    APP_PID=
    [ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS after Error -2"
    [ ! -f data/fps.txt ] || fail "fps.txt written after a failed start"
    # A driver without the multitexture extension: "Error -34", and the run
    # ends before its first frame.
    printf 'fullscreen 0\nresolution_width 640\nresolution_height 480\n' > data/Config.cfg
    MESA_EXTENSION_OVERRIDE=-GL_ARB_multitexture launch
    box=$(wait_window "Error -34" 30) || fail "no 'Error -34' box without multitexturing"
    send_keys "$box" Return
    wait_exit $APP_PID 20 || fail "the program did not end after Error -34"
    APP_PID=
    [ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS after Error -34"
fi
echo "$mode shell test passed"
