# Helpers for the end-to-end tests, sourced by them: a private Xvfb, the
# program under Wine or native, windows by title, screenshots and checks;
# and the driver, what a run is asked the same way on every build:
#   start_run [nomultitexture] [without FILE]...   a fresh run, started
#   frames N               until N more frames are drawn
#   shot NAME              the frame as $work/NAME.ppm
#   key KEY down|up|press|tap  move DX DY  button N down|up|tap   (N: 1 left, 3 right;
#                          tap: down and up between two frames)
#   heard                  the firing sound is heard within 5 s
#   box CAPTION TEXT       that box shows (under Wine its caption is read) and is answered
#   ended STATUS           the run ends with that status
#   log                    prints the path of its fps.txt, or nothing
# The browser's answers come from tests/web/driver.mjs (drive web ...).
set -u
# The window's title and the boxes' texts, as the build wrote them (ctest sets VALE_TEXTS).
[ -z "${VALE_TEXTS:-}" ] || . "$VALE_TEXTS.sh"

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

APP_PID= DRIVER_PID= XVFB_PID=
stop_all() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null
    # The browser's driver ends, closing the browser, when its requests end.
    [ -n "$DRIVER_PID" ] && eval "exec ${DRIVER[1]}>&-"
    [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
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

# run_in MODE EXE DIR [VAR=VALUE...]: copies the program into DIR, goes
# there and starts it (MODE wine: the Windows build; native) with those in
# its environment; APP_PID is its process, its output goes to $work/program.log.
run_in() {
    cp "$2" "$3/" && cd "$3"
    local mode=$1 exe=$2; shift 3
    WIN=
    if [ "$mode" = wine ]; then
        export WINEDEBUG=-all WINEPREFIX=$work/wineprefix
        [ -d "$WINEPREFIX" ] || timeout 120 wineboot -i >/dev/null 2>&1
        env "$@" wine "$(basename "$exe")" >"$work/program.log" 2>&1 &
    else
        env ${VALE_PROGRAM_ENV:-} "$@" "./$(basename "$exe")" >"$work/program.log" 2>&1 &
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
    sleep 0.1  # the program waits for the answer
    case "$(ps -o stat= -p "$APP_PID")" in ""|Z*) fail "the program ended with '$1' still open" ;; esac
    [ -z "${3:-}" ] || [ -z "$(xdotool search --name "^$kWindowTitle\$" 2>/dev/null)" ] || fail "a window beside '$1'"
    [ "$mode" != native ] || grep -Fqx "$1: $2" "$work/program.log" || fail "the '$1' box does not say '$2'"
    send_key "$box" Return
}

# check_log FILE: the run's performance log, written at its end, with an
# average above 0 (its format, on each C library, is the unit tests').
check_log() { tr -d '\r' < "$1" | awk -F': ' '$1 == "  average" { ok = $2 > 0 } END { exit !ok }' || fail "$1: $(cat "$1")"; }

# The screenshot checker (tools/pixels): shots, frames and measures.
pixels() { "${VALE_PIXELS:?no screenshot checker}" "$@"; }

# playing [logged]: the program's window (WIN) shows frames that change,
# within 30 s, and has the keys, the pointer at its middle; with logged, also
# past the two seconds after which the run writes its log.
playing() {
    WIN=$(wait_window "$kWindowTitle" 60) || fail "no window; $(state)"
    pixels wait "$WIN" 30 frames 2 || fail "no frames drawn"
    xdotool windowfocus --sync "$WIN" 2>/dev/null
    xdotool mousemove --window "$WIN" 512 384
    [ -z "${1:-}" ] || sleep 2
}

# drive MODE: the driver of that build, and what a run needs (a display,
# the firing sound kept, through ALSA's file plugin, in $work/sound.raw).
drive() {
    if [ "$1" = web ]; then
        [ "${VALE_BROWSER:-}" != firefox ] || start_xvfb
        coproc DRIVER { exec node "$(dirname "${BASH_SOURCE[0]}")/../web/driver.mjs" "$exe" "$work"; }
        DRIVER_PID=$!
        trap stop_all EXIT
        for f in start_run frames shot key move button heard box ended log; do eval "$f() { ask $f \"\$@\"; }"; done
        return
    fi
    start_xvfb
    sound=$work/sound.raw
    printf 'pcm.!default { type file slave.pcm "nul" file "%s" format raw }\npcm.nul { type null }\n' "$sound" > "$work/asound.conf"
    export ALSA_CONFIG_PATH=$work/asound.conf VALE_FIXED_CLOCK=1
}
# ask REQUEST ARGS...: the browser's driver answers; what it says is printed.
ask() {
    local IFS=$'\t' reply
    echo "$*" >&"${DRIVER[1]}"
    IFS= read -r reply <&"${DRIVER[0]}" || fail "the browser's driver ended"
    case $reply in ok) ;; "ok "*) echo "${reply#ok }" ;; *) fail "$1: ${reply#fail }" ;; esac
}

# The desktop builds' driver. A run is a fresh copy of the data in $work/run.
start_run() {
    local env=()
    rm -rf "$work/run" && mkdir -p "$work/run" && cp -r "$data" "$work/run/data" && rm -f "$work/run/data/fps.txt" "$sound"
    while [ $# -gt 0 ]; do
        case $1 in
            nomultitexture) env+=(MESA_EXTENSION_OVERRIDE=-GL_ARB_multitexture) ;;
            without) rm -rf "$work/run/$2"; shift ;;
        esac
        shift
    done
    run_in "$mode" "$exe" "$work/run" "${env[@]}"
}
frames() { [ -n "$WIN" ] || playing; pixels wait "$WIN" 10 frames "$1" || fail "no frames drawn; $(state)"; }
shot() { [ -n "$WIN" ] || playing; pixels shot "$WIN" "$work/$1.ppm"; }
key() {
    case $2 in
        press) send_key "$WIN" "$1" ;;
        tap) between_frames xdotool key "$1" ;;
        *) xdotool "key$2" "$1" ;;
    esac
}
move() { xdotool mousemove_relative -- "$1" "$2"; }
button() { if [ "$2" = tap ]; then between_frames xdotool click "$1"; else xdotool "mouse$2" "$1"; fi; }
# between_frames COMMAND...: run while the program stands still (stopped), so
# that the input it sends reaches the program between two of its frames.
# (Under Wine too the program's process is the one started, the .exe's.)
between_frames() {
    kill -STOP "$APP_PID"
    "$@"; local status=$?
    kill -CONT "$APP_PID"
    return $status
}
heard() {
    for _ in $(seq 50); do [ -n "$(tr -d '\0' < "$sound" 2>/dev/null | head -c 1)" ] && return; sleep 0.1; done
    fail "the shot was not heard"
}
box() { dismiss_box "$1" "$2"; }
ended() { expect_exit "$1" "at the end"; }
log() { [ ! -f "$work/run/data/fps.txt" ] || echo "$work/run/data/fps.txt"; }

# geometry WINDOW: WxH+X+Y of its client area on the screen.
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
                             /Width:/ {w=$2} /Height:/ {h=$2} END {print w"x"h"+"x"+"y}'
}
