#!/usr/bin/env bash
# The ways out of the window program on a virtual X server, each of which must end it with
# status 0: Space on the control the focus starts on (Exit), a window manager's close
# request while an error box is open, and the window destroyed by another program, idle or
# under an error box. Exit 77 (skipped) only when xvfb-run is not installed.
#   window_exits_xvfb.sh TESTBED WM_CLOSE BARE_LIBRARY SCREENSHOT_DIR
set -uo pipefail

testbed=$1
wm_close=$2
bare_library=$3
shots=$4

if ! command -v xvfb-run >/dev/null 2>&1; then
    echo "xvfb-run is not installed: skipped"
    exit 77
fi
for tool in xdotool import; do
    command -v "$tool" >/dev/null 2>&1 || { echo "missing $tool"; exit 1; }
done

if [ -z "${INSIDE_XVFB:-}" ]; then
    mkdir -p "$shots"
    INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" "$0" "$@"
fi

export QT_QPA_PLATFORM=xcb
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS

work=$(mktemp -d)
pid=""
cleanup() {
    [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# The program beside a library that answers LibVersion and nothing else: every step of a
# run fails and shows its error box.
mkdir "$work/bare"
cp "$testbed" "$work/bare/testbed"
cp "$bare_library" "$work/bare/libqorlib145.so"

failed=0
window=""

start() {
    "$1" >"$work/log" 2>&1 &
    pid=$!
    window=""
    for _ in $(seq 1 100); do
        window=$(xdotool search --name "^Zentrak DLL Testbed - " 2>/dev/null | head -n 1)
        [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || { echo "the window did not appear"; exit 1; }
    sleep 0.5
}

# Presses "&Do it!!" (390, 6270 twips, 1125 x 495: its middle is pixel 63, 434 at 96 dpi)
# and waits for the first error box.
run_into_an_error_box() {
    xdotool mousemove --window "$window" 63 434 click 1
    for _ in $(seq 1 100); do
        xdotool search --onlyvisible --name "^Zentrak DLL Testbed\$" >/dev/null 2>&1 && return
        sleep 0.1
    done
    echo "no error box appeared"
    exit 1
}

# The program must end by itself within ten seconds, with status 0.
expect_end() {
    for _ in $(seq 1 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        echo "FAIL $1: the program kept running"
        kill -9 "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
        failed=1
    else
        wait "$pid"
        local status=$?
        if [ "$status" -ne 0 ]; then
            echo "FAIL $1: exit status $status"
            failed=1
        else
            echo "ok   $1"
        fi
    fi
    pid=""
}

# Without a window manager nothing gives the window the keyboard but an explicit focus.
start "$testbed"
xdotool windowfocus --sync "$window"
sleep 0.3
import -window root "$shots/exits_start_focus.png"
xdotool key --clearmodifiers space
expect_end "Space on the start-up focus presses Exit"

start "$work/bare/testbed"
run_into_an_error_box
import -window root "$shots/exits_error_box.png"
"$wm_close" "$window"
expect_end "close request while an error box is open"

start "$testbed"
xdotool windowclose "$window"
expect_end "window destroyed while idle"

start "$work/bare/testbed"
run_into_an_error_box
xdotool windowclose "$window"
expect_end "window destroyed while an error box is open"

exit "$failed"
