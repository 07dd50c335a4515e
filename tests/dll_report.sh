#!/usr/bin/env bash
# One pass of testbed-report through the Windows DLL under Wine and one through the Linux
# library, on the same drive C, compared line by line. Only the lines listed in `varying`
# may differ, and in their values only: every other line, a missing or an extra one, fails.
#
#   dll_report.sh TESTBED_REPORT LINUX_LIBRARY DLL WINE_PREFIX WINESERVER
#
# The DLL runs in qorlib-host.exe beside it, in a private copy of WINE_PREFIX whose drive C
# is the fixture. From the Windows build folder: ctest -R qorlib_dll_report.
set -euo pipefail
report=$1 linux_library=$2 dll=$3 prefix=$4 wineserver=$5

# Each entry is a line's label (an extended regular expression matched at the line's
# start), under a comment saying why its value differs between the passes. The value is the
# rest of the line; it must be present on both sides.
varying=(
    # Timings; the DLL's first section also waits for Wine to start.
    '^ Execution \(([0-9]+|FINAL)\) took '
    '^1st  2nd  3rd  4th  5th  6th  7th  8th  9th  10th  11th  12th  13th  14th  15th  16th  17th  18th  19th  20th  21st  22nd  23rd  24th  25th   Execution \(5\) took '
    '^Looped in  '
    '^\* This execution took '
    # Random texts, new in every pass.
    '^RandomStr\(50,RandomString(MixedCase|Upper|Lower|Numeric|Hex|All)\)='
    '^StringToHex\(RandomStr\(50,RandomStringBinary\)\)='
    # The compression test's inputs are random texts.
    '^Max gain was '
    # Free space of the fixture's disk, which other programs change between the passes.
    '^Drive C: '
    # The clock: the passes run seconds apart. In the two lines of every letter, e and T
    # also name the zone, which on Windows is Wine's zone for TZ=UTC ("Greenwich Standard
    # Time", no letters: "+00", and so p is "+00:00" instead of "Z").
    '^PHPDate\(d, jS F Y H:i:s\)='
    '^PHPDate\(d,[crC]\)='
    '^PHPDate\(d,\\I\\t \\i\\s \\n\\o\\w \\t\\h\\e jS \\d\\a\\y\.\)='
    '^PHPDate\(d,\(\\T\\h\\e \\t\\i\\m\\e \\i\\s h:i:s \\h\\r\\s on j-m-Y, \\i\\t \\i\\s w Day z \)\)='
    '^PHPDate\(d,a b c d e f g h i j k l m n o p q r s t u v w x y z\)='
    '^PHPDate\(d,A B C D E F G H I J K L M N O P Q R S T U V W X Y Z\)='
    '^VBDate\(DSTAdjust\(Now\)\)='
    '^VBDateToCTime\(Now\)='
    '^Cycle test NOW='
    '^DateToHex\(Now\)='
    '^HexToDate\(DateToHex\(Now\)\)='
    '^CDate\(HexToDate\(DateToHex\(Now\)\)\)='
    # Each system's own process ids: Wine numbers its processes itself.
    '^The process ID of this application - GetPID\(\) = '
    '^The process ID of this test-application is: '
    # The working set of the process the library runs in, a different program on each side.
    '^Memory used by this process is: '
    # The machine's memory as each system counts it: Wine's address space is smaller than
    # Linux's and its page file follows RAM and swap, where Linux counts swap alone.
    '^Get(Total|Available)(Physical|Virtual|Swapfile)Memory\(\)='
    # The system itself (status line on standard error).
    '^\[status\] Windows Version: '
)

work=$(mktemp -d)
cleanup() {
    # Its Wine server must have gone before its prefix goes.
    WINEPREFIX=$work/wine "$wineserver" -k 2>/dev/null || true
    WINEPREFIX=$work/wine "$wineserver" -w 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# The drive of the golden report.
drive=$work/c
mkdir -p "$drive/win"
printf '[boot loader]\r\ntimeout=30\r\n' > "$drive/boot.ini"
for name in config.sys autoexec.bat x.log readme.txt notes.ini.bak; do
    printf x > "$drive/$name"
done

# Wine's drive C is the fixture, with Wine's own folders linked in; none of their names is
# one the report lists. The prefix's other drives go, except Z:, which carries the paths.
cp -a "$prefix" "$work/wine"
for name in windows users ProgramData "Program Files" "Program Files (x86)"; do
    [ -e "$work/wine/drive_c/$name" ] && ln -s "$work/wine/drive_c/$name" "$drive/$name"
done
find "$work/wine/dosdevices" -mindepth 1 -maxdepth 1 -name '?:*' ! -name 'z:' -delete
ln -s "$drive" "$work/wine/dosdevices/c:"

export TZ=UTC LC_ALL=C LANG=C
unset LANGUAGE QORLIB_DRIVES QORLIB_WINDIR
status=0
QORLIB_DRIVES="C=$drive" QORLIB_WINDIR="$drive/win/" \
    "$report" --library "$linux_library" > "$work/linux.out" 2> "$work/linux.err" || status=$?
linux_status=$status
status=0
WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= \
    "$report" --library "$dll" > "$work/dll.out" 2> "$work/dll.err" || status=$?
dll_status=$status

failed=0
if [ "$linux_status" -gt 1 ] || [ "$dll_status" -gt 1 ] || [ "$linux_status" != "$dll_status" ]; then
    echo "exit status: $linux_status with the Linux library, $dll_status with the DLL" \
        "(both must be 0, or 1 for the same error lines)"
    failed=1
fi

# Each varying line keeps its label and "<value>", or nothing when the value is empty.
mask() {
    LABELS=$(printf '%s\n' "${varying[@]}") awk '
        BEGIN { n = split(ENVIRON["LABELS"], label, "\n") }
        {
            # A random text that ends in ";" loses it and its line break, as in every
            # report, and the next line follows on the same line: split it off again.
            if (match($0, /^RandomStr\(50,RandomStringAll\)=/) && length($0) > RLENGTH + 50) {
                print substr($0, 1, RLENGTH) "<value>"
                $0 = substr($0, RLENGTH + 50)
            }
            for (i = 1; i <= n; i++)
                if (label[i] != "" && match($0, label[i])) {
                    $0 = substr($0, 1, RLENGTH) (RLENGTH < length($0) ? "<value>" : "")
                    break
                }
            print
        }' "$1"
}
for stream in out err; do
    mask "$work/linux.$stream" > "$work/linux.$stream.masked"
    mask "$work/dll.$stream" > "$work/dll.$stream.masked"
    if ! diff -u --label "Linux library (std$stream)" --label "DLL under Wine (std$stream)" \
        "$work/linux.$stream.masked" "$work/dll.$stream.masked"; then
        failed=1
    fi
done
if ! grep -q '^\* Tests Complete \*' "$work/linux.out"; then
    echo "the Linux library's report stops before its end"
    failed=1
fi
exit $failed
