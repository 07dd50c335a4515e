#!/usr/bin/env bash
# The window program on a virtual X server: press "&Do it!!" by its Alt key, close every
# error box the run shows, copy the report out of txtOut, check it and the window caption,
# and keep screenshots. Exit 77 (skipped) only when xvfb-run is not installed.
#   window_xvfb.sh TESTBED CLIPBOARD_TEXT SCREENSHOT_DIR
set -uo pipefail

testbed=$1
clipboard_text=$2
shots=$3

. "$(dirname "$0")/xvfb_common.sh"
need xdotool import
mkdir -p "$shots"
on_virtual_screen 1024x768 "$0" "$@"
title="Zentrak DLL Testbed - (qorlib145.dl) v1.25"
box_title="^Zentrak DLL Testbed\$"

"$testbed" &
pid=$!
trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null' EXIT

window=""
for _ in $(seq 1 100); do
    window=$(xdotool search --name "^Zentrak DLL Testbed - " 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "the window did not appear"; exit 1; }
sleep 0.5
import -window root "$shots/window_loaded.png"

name=$(xdotool getwindowname "$window")
if [ "$name" != "$title" ]; then
    echo "caption: '$name'"
    exit 1
fi

# "&Do it!!" by its Alt key; without a window manager only an explicit focus gives the
# window the keyboard.
xdotool windowfocus --sync "$window" 2>/dev/null
xdotool key --clearmodifiers alt+d

# Close the run's error boxes as they come, until none has come for a while; then copy the
# report with the keyboard (txtOut at 120, 2520 twips) and look for its last line.
deadline=$((SECONDS + 300))
quiet=0
report=""
while [ $SECONDS -lt $deadline ]; do
    box=$(xdotool search --onlyvisible --name "$box_title" 2>/dev/null | head -n 1)
    if [ -n "$box" ]; then
        xdotool windowfocus --sync "$box" 2>/dev/null
        xdotool key --clearmodifiers Return 2>/dev/null
        quiet=0
        continue
    fi
    quiet=$((quiet + 1))
    sleep 0.2
    [ $quiet -lt 5 ] && continue
    # Alt+R puts the focus in the report.
    xdotool windowfocus --sync "$window" 2>/dev/null
    xdotool key --clearmodifiers alt+r ctrl+a ctrl+c
    sleep 0.3
    report=$(timeout 10 "$clipboard_text" 2>/dev/null)
    if grep -q '^\* This execution took .* second(s)' <<<"$report"; then
        break
    fi
    quiet=0
done

import -window root "$shots/window_after_run.png"
printf "%s\n" "$report" >"$shots/window_report.txt"
echo "screenshots in $shots"

if ! grep -q '^Checking DLL version v1.25' <<<"$report"; then
    echo "no report copied from the window"
    exit 1
fi
if ! grep -q '^\* Tests Complete \* -\{100\}' <<<"$report"; then
    echo "the report has no closing banner"
    exit 1
fi
# A single run leaves the caption alone.
name=$(xdotool getwindowname "$window")
[ "$name" = "$title" ] || { echo "caption after the run: '$name'"; exit 1; }
kill -0 "$pid" 2>/dev/null || { echo "the program ended"; exit 1; }
echo "report of $(wc -l <<<"$report") lines copied from the window"
exit 0
