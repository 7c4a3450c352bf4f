#!/usr/bin/env bash
# Plays the program in its own Xvfb (vale.exe under Wine, or the native
# build) as a person would, checking what shows; Escape ends the run and
# writes data/fps.txt in its format.
# Usage: play_test.sh wine|native PROGRAM DATA_DIR WORK_DIR [SCREENSHOT_COPY]
. "$(dirname "$0")/lib.sh"
mode=$1 exe=$2 data=$3 work=$4/$1 copy=${5:-}
mkdir -p "$work"
start_xvfb

run=$work/play-run
rm -rf "$run" && mkdir -p "$run" && cp -r "$data" "$run/data" && rm -f "$run/data/fps.txt"
run_in "$mode" "$exe" "$run"
win=$(wait_window "Vale - by Pellam" 60) || fail "no window"
xdotool windowfocus --sync "$win" 2>/dev/null
xdotool mousemove --window "$win" 512 384
sleep 3
start=$work/play-start.png
shot "$win" "$start"
geometry=$(xwininfo -id "$win" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w"x"h}')
[ "$geometry" = "1024x768" ] || fail "client area is $geometry, not 1024x768"

# The balls' saturated red and blue stripes, where the Windows C library's
# unseeded rand puts several of them: ahead and to the left. (With glibc the
# nearest lie behind the start and roll away while the view turns.)
if [ "$mode" = wine ]; then
    balls=$(count_pixels "$start" 1024x768+0+0 '(r > 1.4 * g && r > 1.4 * b) || (b > 1.4 * r && b > 1.2 * g)')
    [ "$balls" -gt 100 ] || fail "no balls in view ($balls pixels)"
fi
# The crosshair's white bar above the centre; the weapon's steel lower right.
[ "$(count_pixels "$start" 3x12+511+366 'r > 200 && g > 200 && b > 200')" -gt 10 ] || fail "no crosshair"
weapon=$(count_pixels "$start" 400x250+520+500 'r < 110 && g < 115 && b < 125 && (b - r) < 25 && (r - b) < 25 && g < r + 15')
[ "$weapon" -gt 5000 ] || fail "no weapon in view ($weapon pixels)"

# A panorama, 45 degrees a step: the skyline is hills in most views, and
# both grass and bare ground (sand or rock: warm, unlike the fog) show.
wavy=0 grass=0 bare=0
for k in 0 1 2 3 4 5 6 7; do
    view=$work/panorama-$k.png
    shot "$win" "$view"
    read -r _ spread <<< "$(skyline "$view")"
    [ "$spread" -ge 20 ] && wavy=$((wavy + 1))
    g=$(count_pixels "$view" 500x768+0+0 'g > r + 15 && g > b + 20')
    b=$(count_pixels "$view" 500x768+0+0 'r >= g && r > b + 12 && (r > 150 || g < 118 || b < 122)')
    grass=$((grass + g)) bare=$((bare + b))
    echo "view $k: skyline spread $spread, $g grass and $b bare pixels"
    for _ in 1 2 3; do xdotool mousemove_relative -- 150 0; sleep 0.15; done
    sleep 0.4
done
[ "$wavy" -ge 5 ] || fail "the skyline is straight in $((8 - wavy)) of 8 views"
[ "$grass" -gt 6000 ] && [ "$bare" -gt 6000 ] || fail "one kind of ground only ($grass grass, $bare bare pixels)"
montage "$work"/panorama-[0-7].png -tile 4x2 -geometry 384x288+2+2 "$work/panorama.png"
if [ -n "$copy" ]; then cp "$start" "$copy" && cp "$work/panorama.png" "$(dirname "$copy")/panorama.png"; fi

# Look straight down, past the pitch limit: the skyline leaves the screen.
read -r h0 _ <<< "$(skyline "$start")"
for _ in 1 2 3 4 5; do xdotool mousemove_relative -- 0 200; sleep 0.3; done
sleep 0.3
shot "$win" "$work/play-down.png"
read -r h1 _ <<< "$(skyline "$work/play-down.png")"
[ "$h1" -lt $((h0 - 150)) ] || fail "looking down did not move the view ($h0 -> $h1)"

# Fire straight down: at any frame rate the dark mark lies under the
# crosshair. The button is polled once a frame, so it is held.
dark='r < 25 && g < 25 && b < 25'
before=$(count_pixels "$work/play-down.png" 100x140+462+314 "$dark")
xdotool mousedown 1 && sleep 0.2 && xdotool mouseup 1
sleep 1
shot "$win" "$work/play-fired.png"
after=$(count_pixels "$work/play-fired.png" 100x140+462+314 "$dark")
[ "$after" -gt $((before + 50)) ] || fail "firing left no mark near the crosshair ($before -> $after dark pixels)"

# Walking changes the ground left of the (swaying) weapon; the panorama
# showed that turning does.
xdotool keydown w && sleep 1.5 && xdotool keyup w
shot "$win" "$work/play-walked.png"
changed "$work/play-fired.png" "$work/play-walked.png" 480x240+40+480 || fail "walking did not change the view"

send_key "$win" Escape
expect_exit 0 "after Escape"
# Text mode: Windows ends the lines with CR LF, Linux with LF; none after the last.
[ "$(wc -l < data/fps.txt)" = 2 ] && [ "$(tail -c 1 data/fps.txt)" != "" ] || fail "fps.txt is not three lines"
tr -d '\r' < data/fps.txt | paste -sd'|' | grep -Eqx ' low peak: [0-9]+\.[0-9]{6}\|  average: [0-9]+\.[0-9]{6}\|high peak: [0-9]+\.[0-9]{6}' ||
    fail "fps.txt: $(cat data/fps.txt)"
echo "$mode play test passed"
