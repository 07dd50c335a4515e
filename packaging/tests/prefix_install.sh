#!/usr/bin/env bash
# Installs the build into a scratch prefix (with a space in its path), checks the files a
# desktop expects, and runs the installed testbed-report from a neutral folder with no
# LD_LIBRARY_PATH: it must find the library installed beside it by itself. Then, with that
# library removed, the same run must fail, which shows the report came from it.
#   prefix_install.sh BUILD_DIR APP_ID
set -euo pipefail
build_dir=$1
app_id=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix="$scratch/my prefix"
neutral="$scratch/neutral"
mkdir -p "$neutral"

fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build_dir" --prefix "$prefix" >/dev/null
for file in bin/testbed bin/testbed-report libexec/zentrak-testbed/qorlib-host \
    "share/applications/$app_id.desktop" "share/metainfo/$app_id.metainfo.xml" \
    share/man/man1/testbed.1.gz share/man/man1/testbed-report.1.gz; do
    [ -f "$prefix/$file" ] || fail "$file not installed"
done
for size in 48 64 128 256; do
    icon="$prefix/share/icons/hicolor/${size}x$size/apps/$app_id.png"
    [ -f "$icon" ] || fail "no ${size} px icon"
    file "$icon" | grep -q "PNG image data, $size x $size," || fail "$icon: $(file -b "$icon")"
done
for program in testbed testbed-report; do
    [ -x "$prefix/bin/$program" ] || fail "$program is not executable"
done
# What only a Debian package carries stays out of a plain install.
[ ! -e "$prefix/share/doc" ] || fail "share/doc installed: $(find "$prefix/share/doc")"

run_installed() {
    (cd "$neutral" && env -u LD_LIBRARY_PATH PATH=/usr/bin:/bin \
        "$prefix/bin/testbed-report" --output "$neutral/report.txt" 2>"$neutral/stderr.txt")
}
status=0
run_installed || status=$?
# 1 means the report holds error lines, which some machines give for their missing drives.
[ $status -le 1 ] || { cat "$neutral/stderr.txt"; fail "the installed testbed-report exited $status"; }
grep -q '^\* Tests Complete \* ' "$neutral/report.txt" || fail "the report is not complete"

# A copy in the system folders would be found next, so this half needs a machine without one.
if ! grep -q 'libqorlib145\.so' <<<"$(/sbin/ldconfig -p)"; then
    find "$prefix" -name 'libqorlib145.so*' -delete
    status=0
    run_installed || status=$?
    [ $status -eq 2 ] || fail "without the installed library the run exited $status, not 2"
fi
echo "installed into a scratch prefix; testbed-report found its library"
