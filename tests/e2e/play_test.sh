#!/usr/bin/env bash
# The end-to-end run, the same for every build (vale.exe under Wine, the
# native build, the page in the browser), through its driver (lib.sh): play
# as a person would, checking what shows; Escape ends the run, which writes
# fps.txt in its format. The first view and the panorama are kept as
# WORK_DIR/MODE/play/screenshot.png and panorama.png.
# Usage: play_test.sh wine|native|web PROGRAM|SITE DATA_DIR WORK_DIR
. "$(dirname "$0")/lib.sh"
mode=$1 exe=$2 data=$3 work=$4/$1/play
mkdir -p "$work"
drive "$mode"
began=$(date +%s%N)
start_run
frames 3
shot start
start=$work/start.ppm
[ "$(sed -n 2p "$start")" = "1024 768" ] || fail "the view is $(sed -n 2p "$start"), not 1024 768"

# The frame-rate counter's figures lower left, in the platform's font
# (what the game draws of the first view is the reference frames'). The
# threshold lies between a good run, 37, and one without the font, 0.
counter=$(pixels measure "$start" crosshair 40x20+0+748)
[ "$counter" -gt 10 ] || fail "no frame-rate counter ($counter pixels)"

# A panorama, 45 degrees a step, each view unlike the last, the eighth
# round to the start; and the balls' red stripes show somewhere around (each
# C library's unseeded rand scatters them its own way, some far off in the
# fog: they roll into the hollows, so up to three rounds; only the frame
# above and left of the weapon counts). Each step waits for two frames, so
# that the turn is drawn.
seen=0 last=$start
for k in $(seq 0 23); do
    [ $((k % 8)) = 0 ] && [ "$seen" -gt 100 ] && break
    move 450 0; frames 2
    shot "panorama-$k"
    view=$work/panorama-$k.ppm
    pixels changed "$last" "$view" 520x768+0+0 || fail "turning left view $k as it was"
    # The mouse turns by its own axis, the way it moves.
    [ "$k" != 7 ] || ! pixels changed "$start" "$view" 520x768+0+0 || fail "eight turns of 45 degrees are no full turn"
    read -r n1 n2 <<< "$(pixels measure "$view" balls 1024x460+0+0 balls 520x308+0+460)"
    seen=$((seen + n1 + n2)) last=$view
    echo "view $k: $((n1 + n2)) ball pixels"
done
[ "$seen" -gt 100 ] || fail "no balls all round ($seen pixels)"
convert "$start" "$work/screenshot.png"
montage "$work"/panorama-[0-7].ppm -tile 4x2 -geometry 384x288+2+2 "$work/panorama.png"

# shows NAME CHECK...: within 60 frames one (kept as NAME) passes CHECK FILE.
shows() {
    local name=$1; shift
    for _ in $(seq 60); do frames 1; shot "$name"; "$@" "$work/$name.ppm" && return 0; done
    return 1
}

# Look straight down, past the pitch limit: the skyline leaves the screen.
read -r h0 _ <<< "$(pixels measure "$start" skyline 500x768+0+0)"
for _ in 1 2 3 4 5; do move 0 200; frames 2; done
shot down
read -r h1 _ <<< "$(pixels measure "$work/down.ppm" skyline 500x768+0+0)"
[ "$h1" -lt $((h0 - 150)) ] || fail "looking down did not move the view ($h0 -> $h1)"

# Walking changes the ground left of the (swaying) weapon. A click whose
# press and release both come between two frames still fires: it is heard.
walked() { pixels changed "$work/down.ppm" "$1" 480x240+40+480; }
key w down
shows walked walked || fail "walking did not change the view"
key w up
button 1 tap
heard

# Escape ends the run, once it has lasted the two seconds after which it writes its log.
sleep "$(awk -v t=$(( ($(date +%s%N) - began) / 1000000 )) 'BEGIN { print t < 2100 ? (2100 - t) / 1000 : 0 }')"
# Escape, pressed and let go between two frames, ends the run all the same.
key Escape tap
ended 0
fps=$(log)
[ -n "$fps" ] || fail "no fps.txt"
check_log "$fps"
echo "$mode play test passed"
