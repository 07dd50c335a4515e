#!/usr/bin/env bash
# The window at the screen scales 1, 1.5 and 2 on a 1280 x 1024 screen with a window
# manager, each at the desktop fonts 9, 10, 11 and 14 pt (window_scaling checks each and
# keeps its screenshot). Exit 77 (skipped) only when xvfb-run is not installed.
#   window_scaling_xvfb.sh WINDOW_SCALING SCREENSHOT_DIR
set -uo pipefail
scaling=$1 shots=$2

command -v xvfb-run >/dev/null 2>&1 || { echo "xvfb-run is not installed: skipped"; exit 77; }
command -v openbox >/dev/null 2>&1 || { echo "missing openbox"; exit 1; }
if [ -z "${INSIDE_XVFB:-}" ]; then
    mkdir -p "$shots"
    INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96 -noreset" "$0" "$@"
fi
export QT_QPA_PLATFORM=xcb
unset QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR

# The frame round the window, and the available area, come from a real window manager.
openbox >/dev/null 2>&1 &
wm=$!
trap 'kill "$wm" 2>/dev/null' EXIT
sleep 1

failed=0
for scale in 1 1.5 2; do
    QT_SCALE_FACTOR=$scale "$scaling" "$shots/scale_$scale" || failed=1
done
echo "screenshots in $shots"
exit "$failed"
