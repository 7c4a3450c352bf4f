# Helpers for the end-to-end tests, sourced by them: a private Xvfb, the
# program under Wine or native, windows by title, screenshots and checks.
set -u

fail() { echo "FAIL: $*" >&2; exit 1; }

# Starts Xvfb and exports DISPLAY; stopped on exit. The server picks a free
# display itself and names it once it takes connections (-displayfd).
start_xvfb() {
    local named
    named=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$named" >/dev/null 2>&1 &
    XVFB_PID=$!
    trap stop_all EXIT
    for _ in $(seq 100); do
        [ -s "$named" ] && { export DISPLAY=:$(head -n 1 "$named"); rm -f "$named"; return 0; }
        kill -0 $XVFB_PID 2>/dev/null || break
        sleep 0.1
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

# wait_window TITLE SECONDS: prints the id of a window with exactly that
# title. Asked five times a second: each asking is a new connection, and a
# busy server's queue of them is short.
wait_window() {
    for _ in $(seq $(($2 * 5))); do
        xdotool search --name "^$1\$" 2>/dev/null | head -1 | grep . && return 0
        sleep 0.2
    done
    return 1
}

# send_key WINDOW KEY: pressed as a person would, held for a few frames.
send_key() {
    xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
    xdotool keydown "$2" && sleep 0.2 && xdotool keyup "$2"
}

# run_in MODE EXE DIR: copies the program into DIR, goes there and starts it
# (MODE wine: the Windows build; native); APP_PID is its process, its output
# goes to $work/program.log.
run_in() {
    cp "$2" "$3/" && cd "$3"
    if [ "$1" = wine ]; then
        export WINEDEBUG=-all WINEPREFIX=$work/wineprefix
        [ -d "$WINEPREFIX" ] || timeout 120 wineboot -i >/dev/null 2>&1
        wine "$(basename "$2")" >"$work/program.log" 2>&1 &
    else
        env ${VALE_PROGRAM_ENV:-} "./$(basename "$2")" >"$work/program.log" 2>&1 &
    fi
    APP_PID=$!
}

# expect_exit STATUS WHAT: the program ends within 20 s with that status,
# and no sanitizer reported.
expect_exit() {
    local status ended=
    for _ in $(seq 200); do
        case "$(ps -o stat= -p "$APP_PID" 2>/dev/null)" in ""|Z*) ended=1; break ;; esac
        sleep 0.1
    done
    [ -n "$ended" ] || fail "the program did not end $2"
    wait "$APP_PID"; status=$? APP_PID=
    ! grep -Eq 'Sanitizer|runtime error' "$work/program.log" || fail "$2: $(cat "$work/program.log")"
    [ "$status" = "$1" ] || fail "exit status $status, not $1, $2: $(tail -5 "$work/program.log")"
}

# state: what the program and the server are doing, for a failure's message.
state() {
    echo "the program $(ps -o stat=,wchan= -p "$APP_PID" || echo ended) said: $(tail -3 "$work/program.log");" \
         "the server $(xdpyinfo >/dev/null 2>&1 && echo answers || echo "does not answer"), showing" \
         "$(xwininfo -root -children 2>/dev/null | grep -o '"[^"]*"' | paste -sd,)"
}

# dismiss_box CAPTION TEXT [alone]: the message box shows (with alone,
# without the program's window) and is answered. The native build also
# writes it to stderr, where its text is checked.
dismiss_box() {
    local box
    box=$(wait_window "$1" 60) || fail "no '$1' box; $(state)"
    [ -z "${3:-}" ] || [ -z "$(xdotool search --name '^Vale - by Pellam$' 2>/dev/null)" ] || fail "a window beside '$1'"
    [ "$mode" != native ] || grep -Fqx "$1: $2" "$work/program.log" || fail "the '$1' box does not say '$2'"
    send_key "$box" Return
}

# check_log FILE: the performance log, three lines in its format (text mode:
# CR LF on Windows, LF on Linux, none after the last), low peak <= high
# peak and a rate above 0.
check_log() {
    [ "$(wc -l < "$1")" = 2 ] && [ "$(tail -c 1 "$1")" != "" ] || fail "$1 is not three lines"
    tr -d '\r' < "$1" | paste -sd'|' |
        grep -Eqx ' low peak: [0-9]+\.[0-9]{6}\|  average: [0-9]+\.[0-9]{6}\|high peak: [0-9]+\.[0-9]{6}' ||
        fail "$1: $(cat "$1")"
    tr -d '\r' < "$1" | awk -F': ' '{ v[NR] = $2 } END { exit !(v[1] <= v[3] && v[2] > 0) }' ||
        fail "the values of $1: $(cat "$1")"
}

# The screenshot checker (tools/pixels): shots, frames and measures.
pixels() { "${VALE_PIXELS:?no screenshot checker}" "$@"; }

# playing [logged]: the program's window (WIN) shows frames that change,
# within 30 s; with logged, also past the two seconds after which the run
# writes its log.
playing() {
    WIN=$(wait_window "Vale - by Pellam" 60) || fail "no window; $(state)"
    pixels wait "$WIN" 30 frames 2 || fail "no frames drawn"
    [ -z "${1:-}" ] || sleep 2
}

# geometry WINDOW: WxH+X+Y of its client area on the screen.
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
                             /Width:/ {w=$2} /Height:/ {h=$2} END {print w"x"h"+"x"+"y}'
}
