# Helpers for the end-to-end tests: a private Xvfb, windows found by title,
# screenshots and their checks. Sourced by the test scripts.
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
    [ -n "${WINEPREFIX:-}" ] && WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null
    kill "$XVFB_PID" 2>/dev/null
    wait 2>/dev/null
}

# wait_window TITLE SECONDS: prints the window id of the first window
# with exactly that title.
wait_window() {
    local id
    for _ in $(seq $(($2 * 10))); do
        id=$(xdotool search --name "^$1\$" 2>/dev/null | head -1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# A key pressed on a window as a person would: focus, hold, release. The
# program polls key states once a frame, so the key is held for a few.
send_keys() {
    local id=$1 key
    shift
    xdotool windowfocus --sync "$id" 2>/dev/null || xdotool windowfocus "$id"
    for key in "$@"; do
        xdotool keydown "$key"
        sleep 0.2
        xdotool keyup "$key"
    done
}

# setup_program MODE EXE DIR: the program and how to start it from DIR.
# MODE is wine (the Windows build) or native (the X11 build).
setup_program() {
    MODE=$1
    cp "$2" "$3/"
    case "$MODE" in
        wine)
            export WINEDEBUG=-all WINEPREFIX=$work/wineprefix
            [ -d "$WINEPREFIX" ] || timeout 120 wineboot -i >/dev/null 2>&1
            LAUNCH="wine $(basename "$2")" ;;
        native) LAUNCH="./$(basename "$2")" ;;
        *) fail "unknown mode $MODE" ;;
    esac
}

# Starts the program in the current folder; APP_PID is its process.
launch() {
    $LAUNCH >/dev/null 2>&1 &
    APP_PID=$!
}

# wait_exit PID SECONDS: waits for the process (a child of this shell, so
# not from a subshell) and leaves its exit status in EXIT_STATUS.
wait_exit() {
    local state
    for _ in $(seq $(($2 * 10))); do
        state=$(ps -o stat= -p "$1" 2>/dev/null)
        case "$state" in
            ""|Z*) wait "$1"; EXIT_STATUS=$?; return 0 ;;
        esac
        sleep 0.1
    done
    return 1
}

screenshot() { import -window root "$1"; }

# Mean brightness of an image or a region WxH+X+Y of it, 0..1.
brightness() {
    if [ $# -gt 1 ]; then convert "$1" -crop "$2" +repage -format '%[fx:mean]' info:
    else convert "$1" -format '%[fx:mean]' info:; fi
}

# Colour of one pixel as "r,g,b" (0..255).
pixel() { convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:; }

# Fraction of pixels in a region that differ from a colour by more than a bit.
greater() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }

# A screenshot of one window's client area.
window_shot() { import -window "$1" "$2"; }

# horizon IMAGE X: the first row from the top, in column X, that is not the
# fog colour (128, 128, 134): where the sky ends.
horizon() {
    convert "$1" -crop "1x10000+$2+0" +repage -depth 8 txt:- | awk -F'[(),:]+' '
        /^[0-9]/ { split($3, c, /[ ,]+/); r = $4; g = $5; b = $6;
                   d = (r > 128 ? r - 128 : 128 - r) + (g > 128 ? g - 128 : 128 - g) + (b > 134 ? b - 134 : 134 - b);
                   if (d > 30) { print $2; exit } }'
}

# count_pixels IMAGE REGION CONDITION: pixels of a region (WxH+X+Y) whose r, g
# and b (0..255) satisfy an awk condition.
count_pixels() {
    convert "$1" -crop "$2" +repage -depth 8 txt:- | awk -F'[(),:]+' -v n=0 "
        /^[0-9]/ { r = \$4; g = \$5; b = \$6; if ($3) n++ } END { print n }"
}

# difference A B WxH+X+Y: the fraction of a region's pixels that differ
# between two images by more than 1%.
difference() {
    local a b size=${3%%+*}
    a=$(mktemp --suffix=.png) b=$(mktemp --suffix=.png)
    convert "$1" -crop "$3" +repage "$a"
    convert "$2" -crop "$3" +repage "$b"
    compare -metric AE -fuzz 1% "$a" "$b" null: 2>&1 | awk -v total=$((${size%x*} * ${size#*x})) '{ print $1 / total }'
    rm -f "$a" "$b"
}

# skyline_spread IMAGE: over 25 columns of the left half (clear of the
# weapon), the rows where the sky ends; prints the spread between the 10th
# and the 90th percentile, in pixels: 0 for a straight, level skyline.
skyline_spread() {
    convert "$1" -crop 500x768+0+0 +repage -sample '25x768!' -depth 8 txt:- | awk -F'[(),:]+' '
        /^[0-9]/ { x = $1; y = $2; r = $4; g = $5; b = $6;
                   d = (r > 128 ? r - 128 : 128 - r) + (g > 128 ? g - 128 : 128 - g) + (b > 134 ? b - 134 : 134 - b);
                   if (d > 30 && !(x in top)) top[x] = y }
        END { n = 0; for (x in top) rows[++n] = top[x];
              for (i = 2; i <= n; i++) { v = rows[i]; for (j = i - 1; j > 0 && rows[j] > v; j--) rows[j + 1] = rows[j]; rows[j + 1] = v }
              if (n < 5) { print 0; exit }
              print rows[int(n * 0.9)] - rows[int(n * 0.1) + 1] }'
}

# ground_kinds IMAGE: pixels of the left half (clear of the weapon), at half
# resolution, that are grass (green) and bare ground (sand or rock: warm, as
# green as red or less, and unlike the fog); prints the two counts.
ground_kinds() {
    convert "$1" -crop 500x768+0+0 +repage -sample '250x384!' -depth 8 txt:- | awk -F'[(),:]+' '
        /^[0-9]/ { r = $4; g = $5; b = $6;
                   if (g > r + 15 && g > b + 20) grass++;
                   else if (r >= g && r > b + 12 && (r > 150 || g < 118 || b < 122)) bare++ }
        END { print grass + 0, bare + 0 }'
}
