#!/usr/bin/env bash
# "./testbed.sh run > report.txt" must leave only the report on standard output: set-up and
# build talk goes to standard error. The package check, CMake and the report program are
# stand-ins here, so the test needs neither root nor a second build.
#   testbed_run_stdout.sh TESTBED_SH
set -euo pipefail
testbed_sh=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/tools" "$work/build/bin"
cat >"$work/tools/dpkg-query" <<'TOOL'
#!/bin/sh
echo "install ok installed"
TOOL
cat >"$work/tools/cmake" <<'TOOL'
#!/bin/sh
echo "-- Configuring done"
echo "[1/1] Linking CXX executable bin/testbed-report"
TOOL
cat >"$work/build/bin/testbed-report" <<'TOOL'
#!/bin/sh
echo "Checking DLL version v1.25"
TOOL
chmod +x "$work/tools/"* "$work/build/bin/testbed-report"

env -u DISPLAY -u WAYLAND_DISPLAY PATH="$work/tools:$PATH" BUILD_DIR="$work/build" \
    "$testbed_sh" run >"$work/stdout" 2>"$work/stderr"
if [ "$(cat "$work/stdout")" != "Checking DLL version v1.25" ]; then
    echo "standard output holds more than the report:"
    cat "$work/stdout"
    exit 1
fi
grep -q -- "-- Configuring done" "$work/stderr" || { echo "build output lost"; exit 1; }
echo "only the report on standard output"
