#!/usr/bin/env bash
# Plays the program in its own Xvfb (vale.exe under Wine, or the native
# build): the view shows the weapon, the crosshair and (with the Windows C
# library's scatter) balls; a panorama shows hills and several kinds of
# ground; the mouse looks down, a click fires and leaves a
# mark on the ground, W walks and the mouse turns; Escape ends the run.
# Usage: play_test.sh wine|native PROGRAM DATA_DIR WORK_DIR [SCREENSHOT_COPY]
. "$(dirname "$0")/lib.sh"
mode=$1 exe=$2 data=$3 work=$4/$1 copy=${5:-}
mkdir -p "$work"
start_xvfb

run=$work/play-run
rm -rf "$run" && mkdir -p "$run" && cp -r "$data" "$run/data"
setup_program "$mode" "$exe" "$run"
cd "$run"
launch
win=$(wait_window "Vale - by Pellam" 60) || fail "no window"
xdotool windowfocus --sync "$win" 2>/dev/null
xdotool mousemove --window "$win" 512 384
sleep 3
shot=$work/play-start.png
window_shot "$win" "$shot"

# The balls: their red and blue stripes, lit or in shade, even through the
# fog; nothing else in the scene is that saturated in those hues (grass,
# sand and rock, fog and steel are not). They lie where the C library's unseeded rand puts them:
# with the Windows library several are ahead and to the left. (With glibc the
# nearest lie behind the start and roll away down the slopes while the view
# turns towards them, so the native run does not look for them.)
if [ "$mode" = wine ]; then
    balls=$(count_pixels "$shot" 1024x768+0+0 '(r > 1.4 * g && r > 1.4 * b) || (b > 1.4 * r && b > 1.2 * g)')
    [ "$balls" -gt 100 ] || fail "no balls in view ($balls pixels)"
fi
# The crosshair: its vertical bar above the centre is white, the centre clear.
[ "$(count_pixels "$shot" 3x12+511+366 'r > 200 && g > 200 && b > 200')" -gt 10 ] || fail "no crosshair"
# The weapon: dark grey steel in the lower right.
weapon=$(count_pixels "$shot" 400x250+520+500 'r < 110 && g < 115 && b < 125 && (b - r) < 25 && (r - b) < 25 && g < r + 15')
[ "$weapon" -gt 5000 ] || fail "no weapon in view ($weapon pixels)"
[ -n "$copy" ] && cp "$shot" "$copy"

# A level panorama from the start, 45 degrees a step: the skyline is hills,
# not a straight line, in most views, and both grass and bare ground (sand
# or rock) show.
wavy=0 grass=0 bare=0
for k in 0 1 2 3 4 5 6 7; do
    view=$work/panorama-$k.png
    window_shot "$win" "$view"
    spread=$(skyline_spread "$view")
    [ "$spread" -ge 20 ] && wavy=$((wavy + 1))
    read -r g b <<< "$(ground_kinds "$view")"
    grass=$((grass + g)) bare=$((bare + b))
    echo "view $k: skyline spread $spread, $g grass and $b bare pixels"
    for _ in 1 2 3; do xdotool mousemove_relative -- 150 0; sleep 0.15; done
    sleep 0.4
done
[ "$wavy" -ge 5 ] || fail "the skyline is straight in $((8 - wavy)) of 8 views"
[ "$grass" -gt 1500 ] && [ "$bare" -gt 1500 ] || fail "one kind of ground only ($grass grass, $bare bare pixels)"
montage "$work"/panorama-[0-7].png -tile 4x2 -geometry 384x288+2+2 "$work/panorama.png"
[ -n "$copy" ] && cp "$work/panorama.png" "$(dirname "$copy")/panorama.png"

# Look straight down (1000 pixels, past the pitch limit of -90 degrees, in
# moves that keep the pointer inside the window): the horizon rises off the
# top of the screen.
h0=$(horizon "$shot" 40)
for _ in 1 2 3 4 5; do xdotool mousemove_relative -- 0 200; sleep 0.3; done
sleep 0.3
window_shot "$win" "$work/play-down.png"
h1=$(horizon "$work/play-down.png" 40)
[ -n "$h0" ] && [ -n "$h1" ] && [ "$h1" -lt $((h0 - 150)) ] || fail "looking down did not move the view ($h0 -> $h1)"

# Fire at the ground below: the bullet falls straight down, so at any frame
# rate its mark, some 15 pixels across from the eye's height, lies under the
# crosshair (the recoil then tilts the view a little). The button is polled
# once a frame, so it is held for a few.
mark_area=100x140+462+314
dark='r < 25 && g < 25 && b < 25'
before=$(count_pixels "$work/play-down.png" $mark_area "$dark")
xdotool mousedown 1
sleep 0.2
xdotool mouseup 1
sleep 1
window_shot "$win" "$work/play-fired.png"
after=$(count_pixels "$work/play-fired.png" $mark_area "$dark")
[ "$after" -gt $((before + 50)) ] || fail "firing left no mark near the crosshair ($before -> $after dark pixels)"

# Walk forward, then turn: each changes the ground left of the weapon (the
# weapon itself sways all the time).
ground=480x240+40+480
xdotool keydown w
sleep 1.5
xdotool keyup w
window_shot "$win" "$work/play-walked.png"
d=$(difference "$work/play-fired.png" "$work/play-walked.png" $ground)
greater "$d" 0.3 || fail "walking did not change the view ($d)"
xdotool mousemove_relative -- 300 0
sleep 0.5
window_shot "$win" "$work/play-turned.png"
d=$(difference "$work/play-walked.png" "$work/play-turned.png" $ground)
greater "$d" 0.3 || fail "turning did not change the view ($d)"

send_keys "$win" Escape
wait_exit $APP_PID 20 || fail "Escape did not end the program"
APP_PID=
[ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS"
echo "$mode play test passed"
