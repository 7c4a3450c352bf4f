#!/usr/bin/env bash
# vale.exe under Wine in its own Xvfb: the window opens and draws, Escape
# ends the run and data/fps.txt is written in its format; without data/
# the configuration error is shown and the exit status is -1.
# Usage: wine_shell_test.sh VALE_EXE DATA_DIR WORK_DIR
. "$(dirname "$0")/lib.sh"
exe=$1 data=$2 work=$3
export WINEDEBUG=-all WINEPREFIX=$work/wineprefix
mkdir -p "$work"
start_xvfb
# The first start of Wine creates the prefix.
[ -d "$WINEPREFIX" ] || timeout 120 wineboot -i >/dev/null 2>&1

run=$work/shell-run
rm -rf "$run" && mkdir -p "$run" && cp "$exe" "$run/" && cp -r "$data" "$run/data"
rm -f "$run/data/fps.txt"
printf 'fullscreen 0\nframeratecounter 2\nresolution_width 800\nresolution_height 600\n' > "$run/data/Config.cfg"
cd "$run"
wine vale.exe >/dev/null 2>&1 &
APP_PID=$!
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
# Text mode: Windows ends the lines with CR LF.
lines=$(tr -d '\r' < data/fps.txt; echo)
echo "$lines" | head -1 | grep -Eq '^ low peak: [0-9]+\.[0-9]{6}$' || fail "fps.txt line 1: $(echo "$lines" | head -1)"
echo "$lines" | sed -n 2p | grep -Eq '^  average: [0-9]+\.[0-9]{6}$' || fail "fps.txt line 2"
echo "$lines" | sed -n 3p | grep -Eq '^high peak: [0-9]+\.[0-9]{6}$' || fail "fps.txt line 3"
[ "$(tail -c 1 data/fps.txt | od -An -c | tr -d ' ')" != '\n' ] || fail "fps.txt ends with a line end"
[ "$(wc -l < data/fps.txt)" = 2 ] || fail "fps.txt does not have three lines"

# Without data/: "Error -31", and the process ends with -1 once it is dismissed.
empty=$work/shell-empty
rm -rf "$empty" && mkdir -p "$empty" && cp "$exe" "$empty/"
cd "$empty"
wine vale.exe >/dev/null 2>&1 &
APP_PID=$!
box=$(wait_window "Error -31" 60) || fail "no 'Error -31' box"
[ -z "$(xdotool search --name '^Vale - by Pellam$' 2>/dev/null)" ] || fail "a window exists beside the error"
screenshot "$work/shell-error.png"
send_keys "$box" Return
wait_exit $APP_PID 20 || fail "the program did not end after the box"
APP_PID=
[ "$EXIT_STATUS" = 255 ] || fail "exit status $EXIT_STATUS, not 255"
echo "wine shell test passed"
