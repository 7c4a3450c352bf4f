#!/usr/bin/env bash
# Plays the program in its own Xvfb (vale.exe under Wine, or the native
# build) as a person would, checking what shows; Escape ends the run and
# writes data/fps.txt in its format. The first view and the panorama are
# kept as WORK_DIR/MODE/screenshot.png and panorama.png.
# Usage: play_test.sh wine|native PROGRAM DATA_DIR WORK_DIR
. "$(dirname "$0")/lib.sh"
mode=$1 exe=$2 data=$3 work=$4/$1
mkdir -p "$work"
start_xvfb

run=$work/play-run
rm -rf "$run" && mkdir -p "$run" && cp -r "$data" "$run/data" && rm -f "$run/data/fps.txt"
# The sound goes to a file through ALSA's file plugin (under Wine too, by
# its ALSA driver).
sound=$work/sound.raw
rm -f "$sound"
printf 'pcm.!default { type file slave.pcm "nul" file "%s" format raw }\npcm.nul { type null }\n' "$sound" > "$work/asound.conf"
export ALSA_CONFIG_PATH=$work/asound.conf
# The clocks advance 1/60 s a frame: the balls' first steps, and every
# step after, are the same however busy the machine is.
export VALE_FIXED_CLOCK=1
run_in "$mode" "$exe" "$run"
playing
xdotool windowfocus --sync "$WIN" 2>/dev/null
xdotool mousemove --window "$WIN" 512 384
start=$work/play-start.ppm
pixels shot "$WIN" "$start"
[ "$(geometry "$WIN" | cut -d+ -f1)" = "1024x768" ] || fail "client area is $(geometry "$WIN"), not 1024x768"

# The crosshair's white bar above the centre, the weapon's steel lower
# right, the counter's figures lower left. Thresholds lie between a good
# run and one without the part: crosshair 26 and 0, weapon 49,045 and 5,874
# (the rock slope), counter 37 and 0.
read -r crosshair weapon counter <<< "$(pixels measure "$start" crosshair 3x12+511+366 \
    weapon 400x250+520+500 crosshair 40x20+0+748)"
echo "crosshair $crosshair, weapon $weapon, counter $counter"
[ "$crosshair" -gt 10 ] || fail "no crosshair"
[ "$weapon" -gt 20000 ] || fail "no weapon in view ($weapon pixels)"
[ "$counter" -gt 10 ] || fail "no frame-rate counter ($counter pixels)"

# A panorama, 45 degrees a step, each view unlike the last: the skyline is
# hills in most views of the first round, and the balls' red stripes show
# somewhere around (each C library's unseeded rand scatters them its own
# way, some far off in the fog: they roll into the hollows, so up to three
# rounds; only the frame above and left of the weapon counts). Each step
# waits for two frames, so that the turn is drawn.
wavy=0 seen=0 last=$start
for k in $(seq 0 23); do
    [ $((k % 8)) = 0 ] && [ "$seen" -gt 100 ] && break
    for _ in 1 2 3; do xdotool mousemove_relative -- 150 0; pixels wait "$WIN" 10 frames 2 || fail "no frames while turning"; done
    view=$work/panorama-$k.ppm
    pixels shot "$WIN" "$view"
    pixels changed "$last" "$view" 520x768+0+0 || fail "turning left view $k as it was"
    read -r _ spread _ n1 n2 <<< "$(pixels measure "$view" skyline 500x768+0+0 balls 1024x460+0+0 balls 520x308+0+460)"
    [ "$spread" -ge 20 ] && [ "$k" -lt 8 ] && wavy=$((wavy + 1))
    seen=$((seen + n1 + n2)) last=$view
    echo "view $k: skyline spread $spread, $((n1 + n2)) ball pixels"
done
[ "$wavy" -ge 5 ] || fail "the skyline is straight in $((8 - wavy)) of 8 views"
[ "$seen" -gt 100 ] || fail "no balls all round ($seen pixels)"
convert "$start" "$work/screenshot.png"
montage "$work"/panorama-[0-7].ppm -tile 4x2 -geometry 384x288+2+2 "$work/panorama.png"

# Look straight down, past the pitch limit: the skyline leaves the screen.
read -r h0 _ <<< "$(pixels measure "$start" skyline 500x768+0+0)"
for _ in 1 2 3 4 5; do xdotool mousemove_relative -- 0 200; pixels wait "$WIN" 10 frames 2 || fail "no frames while looking down"; done
pixels shot "$WIN" "$work/play-down.ppm"
read -r h1 _ <<< "$(pixels measure "$work/play-down.ppm" skyline 500x768+0+0)"
[ "$h1" -lt $((h0 - 150)) ] || fail "looking down did not move the view ($h0 -> $h1)"

# Fire straight down: at any frame rate the dark mark lies under the
# crosshair. The button is polled once a frame, so it is held for two.
before=$(pixels measure "$work/play-down.ppm" dark 100x140+462+314)
xdotool mousedown 1 && pixels wait "$WIN" 10 frames 2; xdotool mouseup 1
after=$(pixels wait "$WIN" 10 dark 100x140+462+314 -gt $((before + 50))) ||
    fail "firing left no mark near the crosshair ($before -> $after dark pixels)"
pixels shot "$WIN" "$work/play-fired.ppm"
# The shot heard: samples not all silence (none with the sound not played).
heard() { [ -n "$(tr -d '\0' < "$sound" 2>/dev/null | head -c 1)" ]; }
for _ in $(seq 50); do heard && break; sleep 0.1; done
heard || fail "the shot was not heard"

# Walking changes the ground left of the (swaying) weapon; the panorama
# showed that turning does.
xdotool keydown w
pixels wait "$WIN" 10 changed "$work/play-fired.ppm" 480x240+40+480 || fail "walking did not change the view"
xdotool keyup w

send_key "$WIN" Escape
expect_exit 0 "after Escape"
check_log data/fps.txt
echo "$mode play test passed"
