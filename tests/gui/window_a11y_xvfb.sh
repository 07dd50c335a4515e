#!/usr/bin/env bash
# window_a11y.py against the window program, on a virtual X server with its own session
# and accessibility buses.   window_a11y_xvfb.sh TESTBED
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/xvfb_common.sh"
need dbus-run-session dbus-send /usr/libexec/at-spi-bus-launcher
# Debian's own Python has the AT-SPI bindings, whatever python3 comes first on PATH.
/usr/bin/python3 -c "import pyatspi" 2>/dev/null || { echo "missing python3-pyatspi"; exit 1; }
on_virtual_screen 1280x1024 dbus-run-session -- "$0" "$@"
# What a running screen reader tells every program: accessibility is on.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
/usr/libexec/at-spi-bus-launcher --launch-immediately &
trap 'kill $(jobs -p) 2>/dev/null' EXIT
# The program looks for the accessibility bus when it starts.
until dbus-send --session --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress; do
    sleep 0.1
done
"$1" >/dev/null 2>&1 &
timeout 60 /usr/bin/python3 "$here/window_a11y.py"
