# Helpers for the end-to-end tests, sourced by them: a private Xvfb, the
# program under Wine or native, windows by title, screenshots and checks.
set -u

fail() { echo "FAIL: $*" >&2; exit 1; }

# Starts Xvfb on a free display and exports DISPLAY; stopped on exit.
start_xvfb() {
    local n
    for n in $(seq $((200 + $$ % 100)) 499); do
        [ -e /tmp/.X$n-lock ] && continue
        Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        export DISPLAY=:$n
        for _ in $(seq 50); do
            xdpyinfo >/dev/null 2>&1 && { trap stop_all EXIT; return 0; }
            kill -0 $XVFB_PID 2>/dev/null || break
            sleep 0.1
        done
    done
    fail "no Xvfb"
}

APP_PID=
stop_all() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null
    [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
    kill "$XVFB_PID" 2>/dev/null
    wait 2>/dev/null
}

# wait_window TITLE SECONDS: prints the id of a window with exactly that title.
wait_window() {
    local id
    for _ in $(seq $(($2 * 10))); do
        id=$(xdotool search --name "^$1\$" 2>/dev/null | head -1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# send_key WINDOW KEY: pressed as a person would, held for a few frames.
send_key() {
    xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
    xdotool keydown "$2" && sleep 0.2 && xdotool keyup "$2"
}

# run_in MODE EXE DIR: copies the program into DIR, goes there and starts
# it; APP_PID is its process. MODE is wine (the Windows build) or native.
run_in() {
    cp "$2" "$3/"
    cd "$3"
    case "$1" in
        wine)
            export WINEDEBUG=-all WINEPREFIX=$work/wineprefix
            [ -d "$WINEPREFIX" ] || timeout 120 wineboot -i >/dev/null 2>&1
            wine "$(basename "$2")" >/dev/null 2>&1 & ;;
        native) "./$(basename "$2")" >/dev/null 2>&1 & ;;
        *) fail "unknown mode $1" ;;
    esac
    APP_PID=$!
}

# expect_exit STATUS WHAT: the program ends within 20 s with that status.
expect_exit() {
    local state
    for _ in $(seq 200); do
        state=$(ps -o stat= -p "$APP_PID" 2>/dev/null)
        case "$state" in
            ""|Z*) wait "$APP_PID"; local status=$?; APP_PID=
                   [ "$status" = "$1" ] || fail "exit status $status, not $1, $2"; return 0 ;;
        esac
        sleep 0.1
    done
    fail "the program did not end $2"
}

# dismiss_box CAPTION [alone]: the message box shows (with alone, without
# the program's window) and is answered.
dismiss_box() {
    local box
    box=$(wait_window "$1" 60) || fail "no '$1' box"
    [ -z "${2:-}" ] || [ -z "$(xdotool search --name '^Vale - by Pellam$' 2>/dev/null)" ] || fail "a window beside '$1'"
    send_key "$box" Return
}

shot() { import -window "$1" "$2"; }

# count_pixels IMAGE WxH+X+Y CONDITION: pixels whose r, g, b meet an awk condition.
count_pixels() {
    convert "$1" -crop "$2" +repage -depth 8 txt:- | awk -F'[(),:]+' -v n=0 "
        /^[0-9]/ { r = \$4; g = \$5; b = \$6; if ($3) n++ } END { print n }"
}

# changed A B WxH+X+Y: more than 30% of the region's pixels differ by over 1%.
changed() {
    local size=${3%%+*}
    compare -metric AE -fuzz 1% "$1[$3]" "$2[$3]" null: 2>&1 |
        awk -v total=$((${size%x*} * ${size#*x})) '{ exit !($1 / total > 0.3) }'
}

# skyline IMAGE: over 25 columns of the left half (clear of the weapon), the
# rows where the sky (the fog colour, 128, 128, 134) ends; prints their
# median and the spread from the 10th to the 90th percentile, in pixels.
skyline() {
    convert "$1" -crop 500x768+0+0 +repage -sample '25x768!' -depth 8 txt:- | awk -F'[(),:]+' '
        /^[0-9]/ { x = $1; y = $2; r = $4; g = $5; b = $6;
                   d = (r > 128 ? r - 128 : 128 - r) + (g > 128 ? g - 128 : 128 - g) + (b > 134 ? b - 134 : 134 - b);
                   if (d > 30 && !(x in top)) { top[x] = y; print y } }' | sort -n |
        awk '{ r[NR] = $1 } END { if (NR < 5) print 768, 0; else print r[int(NR / 2) + 1], r[int(NR * 0.9)] - r[int(NR * 0.1) + 1] }'
}
