#!/usr/bin/env bash
# Starts of the program that end before play or go on after a box, the same
# for every build through its driver (lib.sh): each failed start shows its
# message box and ends with its status. Then the desktop builds' own (in
# their Xvfb): a full-screen run at the display's own mode covers the screen
# and gives the mode back, and the X11 backend's guards.
# Usage: startup_test.sh wine|native|web PROGRAM|SITE DATA_DIR WORK_DIR
. "$(dirname "$0")/lib.sh"
mode=$1 exe=$2 data=$3 work=$4/$1/startup
mkdir -p "$work"
drive "$mode"

# Without Config.cfg: "Error -31", and the process ends with -1 once it is dismissed.
start_run without data/Config.cfg
box "${kConfiguration[@]}"
ended 255

# A driver without the multitexture extension: "Error -34", and the run ends
# before its first frame, so without a log.
start_run nomultitexture
box "${kMultitexture[@]}"
ended 0
[ -z "$(log)" ] || fail "fps.txt written without a frame"

# A texture missing: "Error -20", and the run goes on.
start_run without data/Textures/Landmap.tga
box "${kTgaUnread[@]}"
frames 3
key Escape press
ended 0
[ "$mode" != web ] || { echo "web start-up test passed"; exit 0; }

run=$work/run
rm -rf "$run" && mkdir -p "$run" && cp -r "$data" "$run/data"
config() { printf '%s\n' "$@" > "$run/data/Config.cfg"; }

# A full-screen mode the display cannot take: "Error -2", no window, status 0.
# (Xvfb's only mode is its 1280x1024 screen.)
config 'fullscreen 1' 'resolution_width 1000' 'resolution_height 700'
run_in "$mode" "$exe" "$run"
dismiss_box "${kFullscreen[@]}" alone
expect_exit 0 "after Error -2"
[ ! -f data/fps.txt ] || fail "fps.txt written after a failed start"

# Full screen at the display's own mode: a borderless window over the whole
# screen; Escape ends the run with 0 and the screen keeps its mode.
config 'fullscreen 1' 'resolution_width 1280' 'resolution_height 1024' 'resolution_depth 32'
run_in "$mode" "$exe" "$run"
playing
[ "$(geometry "$WIN")" = "1280x1024+0+0" ] || fail "full-screen window at $(geometry "$WIN")"
# Borderless: override-redirect, or Motif hints that ask for no decorations.
xwininfo -id "$WIN" | grep -q 'Override Redirect State: yes' ||
    xprop -id "$WIN" _MOTIF_WM_HINTS | grep -Eq '= 0x[0-9a-f]+, 0x[0-9a-f]+, 0x0,' || fail "the full-screen window has a frame"
send_key "$WIN" Escape
expect_exit 0 "after Escape in full screen"
screen=$(xdpyinfo | awk '/dimensions:/ {print $2}')
[ "$screen" = 1280x1024 ] || fail "the screen was left at $screen"

# The X11 backend's own guards (the Win32 one makes its window as Windows
# does): sizes the server or the context cannot take are refused with
# "Error -3" before any frame; the window destroyed from outside, or the
# server lost, ends the run as a close does, with the log written (so the run
# must first outlast the log's two seconds).
if [ "$mode" = native ]; then
    for size in 0x0 -1024x-768 65535x65535; do
        config 'fullscreen 0' "resolution_width ${size%x*}" "resolution_height ${size#*x}"
        run_in "$mode" "$exe" "$run"
        dismiss_box "${kWindow[@]}" alone
        expect_exit 0 "after Error -3 for $size"
    done
    config 'fullscreen 0' 'resolution_width 640' 'resolution_height 480'
    run_in "$mode" "$exe" "$run"
    playing logged
    xdotool windowclose "$WIN"
    expect_exit 0 "after the window was destroyed"
    check_log data/fps.txt && rm data/fps.txt
    run_in "$mode" "$exe" "$run"
    playing logged
    kill "$XVFB_PID"
    expect_exit 0 "after the server went away"
    check_log data/fps.txt
fi
echo "$mode start-up test passed"
