#!/usr/bin/env bash
# The golden report: one pass of testbed-report against our own library, on a fixed fixture
# drive C, under TZ=UTC and LC_ALL=C. Any change to a stable line of the report fails the
# check until the golden file changes with it.
#
#   golden_report.sh TESTBED_REPORT LIBRARY GOLDEN_FILE [OPTION...]  compares a pass with it
#   golden_report.sh TESTBED_REPORT LIBRARY GOLDEN_FILE --remake     writes it anew
#
# OPTIONs go to testbed-report: the library runs in its host by default and with
# --in-process in the rig's own process; both must match the one golden file.
#
# From a build folder: ctest -R golden_report, and cmake --build build --target
# remake_golden_report.
set -euo pipefail
report=$1 library=$2 golden=$3
shift 3
mode=check
if [ "${1:-}" = --remake ]; then
    mode=remake
    shift
fi

drive=$(mktemp -d)
trap 'rm -rf "$drive"' EXIT
mkdir "$drive/win"
printf '[boot loader]\r\ntimeout=30\r\n' > "$drive/boot.ini"
for name in config.sys autoexec.bat x.log readme.txt notes.ini.bak; do
    printf x > "$drive/$name"
done
export QORLIB_DRIVES="C=$drive" QORLIB_WINDIR="$drive/win/" TZ=UTC LC_ALL=C LANG=C
unset LANGUAGE

# No exec: the trap removes the fixture drive afterwards.
if [ "$mode" = remake ]; then
    "$report" --library "$library" --output "$golden"
else
    "$report" --library "$library" --expect "$golden" "$@" > /dev/null
fi
