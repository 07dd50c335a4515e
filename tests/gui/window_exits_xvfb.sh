#!/usr/bin/env bash
# The ways out of the window program on a virtual X server, each of which must end it with
# status 0: Exit's Alt key, a window manager's close request while an error box is open,
# and the window destroyed by another program, idle or under an error box; and a library
# file that does not load, which must end it with status 2 after a box that gives the
# loader's reason, also on standard error. Exit 77 (skipped) only when xvfb-run is absent.
#   window_exits_xvfb.sh TESTBED WM_CLOSE BARE_LIBRARY SCREENSHOT_DIR
set -uo pipefail
testbed=$1 wm_close=$2 bare_library=$3 shots=$4

. "$(dirname "$0")/xvfb_common.sh"
need xdotool
mkdir -p "$shots"
on_virtual_screen 1024x768 "$0" "$@"

# The program beside a library that answers LibVersion and nothing else: every step of a
# run fails and shows its error box.
work=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill -9 "$pid" 2>/dev/null; rm -rf "$work"' EXIT
cp "$testbed" "$work/testbed"
cp "$bare_library" "$work/libqorlib145.so"

start() {
    "$1" >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 1 100); do
        window=$(xdotool search --name "^Zentrak DLL Testbed - " 2>/dev/null | head -n 1)
        [ -n "$window" ] && { sleep 0.5; return; }
        sleep 0.1
    done
    echo "the window did not appear"
    exit 1
}

# Presses "&Do it!!" by its Alt key and waits for an error box.
run_into_an_error_box() {
    xdotool windowfocus --sync "$window" 2>/dev/null
    xdotool key --clearmodifiers alt+d
    for _ in $(seq 1 100); do
        xdotool search --onlyvisible --name "^Zentrak DLL Testbed\$" >/dev/null 2>&1 && return
        sleep 0.1
    done
    echo "no error box appeared"
    exit 1
}

failed=0
expect_end() {
    local wanted=${2:-0}
    for _ in $(seq 1 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    local verdict="ok"
    if kill -0 "$pid" 2>/dev/null; then
        kill -9 "$pid"
        verdict="FAIL (kept running)"
    fi
    wait "$pid"
    local status=$?
    pid=""
    [ "$verdict" = ok ] && [ "$status" -ne "$wanted" ] && verdict="FAIL (exit status $status)"
    echo "$verdict: $1"
    [ "$verdict" = ok ] || failed=1
}

# Without a window manager nothing gives the window the keyboard but an explicit focus.
start "$testbed"
xdotool windowfocus --sync "$window"
sleep 0.3
import -window root "$shots/exits_start_focus.png" 2>/dev/null
# On a loaded machine the program may take the focus after the first key arrives, so the
# key is sent again while it keeps running.
for _ in 1 2 3 4 5; do
    xdotool key --clearmodifiers alt+e
    for _ in $(seq 1 20); do
        kill -0 "$pid" 2>/dev/null || break 2
        sleep 0.1
    done
done
expect_end "Alt+E presses Exit"

start "$work/testbed"
run_into_an_error_box
"$wm_close" "$window"
expect_end "close request while an error box is open"

start "$testbed"
xdotool windowclose "$window"
expect_end "window destroyed while idle"

start "$work/testbed"
run_into_an_error_box
xdotool windowclose "$window"
expect_end "window destroyed while an error box is open"

# A file of the library's name that is no library: closing its box ends the program with
# status 2, and standard error has the box's text with the loader's reason.
head -c 4096 /dev/zero >"$work/libqorlib145.so"
"$work/testbed" >/dev/null 2>"$work/stderr" &
pid=$!
for _ in $(seq 1 100); do
    box=$(xdotool search --onlyvisible --name "^Missing DLL - Cannot continue\$" | head -n 1)
    [ -n "$box" ] && xdotool windowfocus --sync "$box" key --clearmodifiers Return && break
    sleep 0.1
done
expect_end "a library file that does not load" 2
grep -qF "Can't load libqorlib145.so: $work/libqorlib145.so: invalid ELF header" \
    "$work/stderr" || { echo "FAIL: no loader's reason on standard error"; failed=1; }

exit "$failed"
