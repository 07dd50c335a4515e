#!/usr/bin/env bash
# The window at the screen scales 1, 1.5 and 2 on a 1280 x 1024 screen with a window
# manager, each at the desktop fonts 9, 10, 11 and 14 pt (window_scaling checks each and
# keeps its screenshot). Exit 77 (skipped) only when xvfb-run is not installed.
#   window_scaling_xvfb.sh WINDOW_SCALING SCREENSHOT_DIR
set -uo pipefail
scaling=$1 shots=$2

. "$(dirname "$0")/xvfb_common.sh"
need openbox
mkdir -p "$shots"
on_virtual_screen 1280x1024 "$0" "$@"

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
