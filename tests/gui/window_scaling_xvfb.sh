#!/usr/bin/env bash
# window_scaling at the screen scales 1, 1.5 and 2 on a 1280 x 1024 screen, under a window
# manager that gives the window its frame.   window_scaling_xvfb.sh WINDOW_SCALING SHOTS
set -uo pipefail
. "$(dirname "$0")/xvfb_common.sh"
need openbox
mkdir -p "$2"
on_virtual_screen 1280x1024 "$0" "$@"
openbox >/dev/null 2>&1 &
trap 'kill $(jobs -p) 2>/dev/null' EXIT
sleep 1
failed=0
for scale in 1 1.5 2; do
    QT_SCALE_FACTOR=$scale "$1" "$2/scale_$scale" || failed=1
done
exit "$failed"
