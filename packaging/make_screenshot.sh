#!/usr/bin/env bash
# Remakes screenshot.png, the picture the AppStream metadata refers to: the window after one
# pass, on a virtual X server at 96 dpi. Run by hand when the window changes:
#   packaging/make_screenshot.sh build
set -euo pipefail
build_dir=$(cd "$1" && pwd)
out=$(cd "$(dirname "$0")" && pwd)/screenshot.png

if [ -z "${INSIDE_XVFB:-}" ]; then
    INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96 -noreset" "$0" "$@"
fi
export QT_QPA_PLATFORM=xcb
"$build_dir/bin/testbed" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

window=""
for _ in $(seq 1 100); do
    window=$(xdotool search --name "^Zentrak DLL Testbed - " 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "the window did not appear" >&2; exit 1; }
sleep 0.5
# "&Do it!!" by its Alt key: the window's size follows its font.
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key --clearmodifiers alt+d
# Close the pass's error boxes until none has come for two seconds.
quiet=0
while [ $quiet -lt 10 ]; do
    box=$(xdotool search --onlyvisible --name '^Zentrak DLL Testbed$' 2>/dev/null | head -n 1) || true
    if [ -n "$box" ]; then
        xdotool windowfocus --sync "$box" key --clearmodifiers Return 2>/dev/null || true
        quiet=0
    else
        quiet=$((quiet + 1))
    fi
    sleep 0.2
done
import -window "$window" "$out"
echo "wrote $out"
