#!/usr/bin/env bash
# Checks the three Debian packages that `cpack -G DEB` made: their contents, ownership and
# modes, control fields and compressed documents, then lintian (errors fail). With
# --install it also installs them with dpkg (as root, on a machine that does not have them
# yet), runs the installed testbed-report from a neutral folder, checks that a program built
# against the library gets its dependency from dpkg-shlibdeps, and purges them again.
#   debs.sh PACKAGE_DIR [--install]
set -euo pipefail
dir=$(cd "$1" && pwd)
install=${2:-}
lib_pkg=libqorlib145-1
dev_pkg=libqorlib145-dev
rig_pkg=zentrak-testbed

fail() { echo "FAIL: $*"; exit 1; }
deb_of() {
    local found=("$dir/$1"_*.deb)
    [ ${#found[@]} -eq 1 ] && [ -f "${found[0]}" ] || fail "expected one $1 package in $dir"
    echo "${found[0]}"
}
lib=$(deb_of $lib_pkg)
dev=$(deb_of $dev_pkg)
rig=$(deb_of $rig_pkg)
version=$(dpkg-deb -f "$lib" Version)

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# Paths (without the leading ".") of the regular files and links of a package. Listed into
# a file once, since grep -q on a pipe would cut the listing short under pipefail.
for deb in "$lib" "$dev" "$rig"; do
    dpkg-deb --fsys-tarfile "$deb" | tar -t | sed -n 's|^\./\(.*[^/]\)$|/\1|p' \
        >"$scratch/$(basename "$deb").paths"
done
paths() { cat "$scratch/$(basename "$1").paths"; }
has() { grep -qx -- "$2" "$scratch/$(basename "$1").paths" || fail "$(basename "$1") lacks $2"; }
lacks() {
    ! grep -qx -- "$2" "$scratch/$(basename "$1").paths" || fail "$(basename "$1") must not hold $2"
}

libdir=$(paths "$lib" | sed -n 's|^\(.*\)/libqorlib145\.so\.1$|\1|p')
[ -n "$libdir" ] || fail "$lib_pkg has no libqorlib145.so.1"
has "$lib" "$libdir/libqorlib145.so.$version"
lacks "$lib" "$libdir/libqorlib145.so"
has "$dev" "$libdir/libqorlib145.so"
has "$dev" /usr/include/qorlib145.h
has "$dev" "$libdir/pkgconfig/qorlib145.pc"
has "$dev" "$libdir/cmake/qorlib145/qorlib145Config.cmake"
lacks "$dev" "$libdir/libqorlib145.so.$version"
for file in /usr/bin/testbed /usr/bin/testbed-report /usr/share/man/man1/testbed.1.gz \
    /usr/share/man/man1/testbed-report.1.gz /usr/libexec/zentrak-testbed/qorlib-host; do
    has "$rig" "$file"
done
has "$rig" '/usr/share/applications/.*\.desktop'
has "$rig" '/usr/share/metainfo/.*\.metainfo\.xml'
for size in 48 64 128 256; do
    has "$rig" "/usr/share/icons/hicolor/${size}x$size/apps/.*\.png"
done

for deb in "$lib" "$dev" "$rig"; do
    package=$(dpkg-deb -f "$deb" Package)
    has "$deb" "/usr/share/doc/$package/copyright"
    has "$deb" "/usr/share/doc/$package/changelog.gz"
    # Owned by root, and only the modes a package should carry.
    dpkg-deb -c "$deb" | awk -v pkg="$package" '
        $2 != "root/root" { print pkg ": " $6 " owned by " $2; bad = 1 }
        $1 ~ /^d/ && $1 != "drwxr-xr-x" { print pkg ": " $6 " " $1; bad = 1 }
        $1 ~ /^-/ && $1 != "-rw-r--r--" && $1 != "-rwxr-xr-x" { print pkg ": " $6 " " $1; bad = 1 }
        END { exit bad }' || fail "ownership or modes"
    for field in Section Priority Maintainer Description Source; do
        [ -n "$(dpkg-deb -f "$deb" $field)" ] || fail "$package has no $field"
    done
    [ "$(dpkg-deb -f "$deb" Description | wc -l)" -ge 3 ] || fail "$package has no long description"
    # Compressed with gzip -9n: no file name, no time stamp, so rebuilds are reproducible.
    mkdir -p "$scratch/$package"
    dpkg-deb -x "$deb" "$scratch/$package"
    while IFS= read -r -d '' gz; do
        gzip -t "$gz" || fail "$gz is not gzip"
        header=$(od -An -tu1 -j3 -N5 "$gz" | tr -s ' ')
        [ "$header" = " 0 0 0 0 0" ] || fail "${gz#"$scratch"/} keeps a name or time stamp"
    done < <(find "$scratch/$package" -name '*.gz' -print0)
    grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
        "$scratch/$package/usr/share/doc/$package/copyright" || fail "$package copyright format"
done

grep -q 'libc6' <<<"$(dpkg-deb -f "$lib" Depends)" || fail "$lib_pkg has no shlibdeps dependencies"
grep -q 'libqt6widgets6' <<<"$(dpkg-deb -f "$rig" Depends)" ||
    fail "$rig_pkg has no shlibdeps dependencies"
for deb in "$dev" "$rig"; do
    grep -q "$lib_pkg (= " <<<"$(dpkg-deb -f "$deb" Depends)" ||
        fail "$(dpkg-deb -f "$deb" Package) does not depend on $lib_pkg"
done
control=$(dpkg-deb --ctrl-tarfile "$lib" | tar -t)
for file in symbols shlibs triggers; do
    grep -qx "./$file" <<<"$control" || fail "$lib_pkg has no $file file"
done

echo "== lintian"
lintian --fail-on error "$lib" "$dev" "$rig" ||
    fail "lintian found errors"

[ "$install" = "--install" ] || { echo "packages OK"; exit 0; }

echo "== dpkg -i"
[ "$(id -u)" -eq 0 ] || fail "--install needs root"
for package in $lib_pkg $dev_pkg $rig_pkg; do
    if grep -q 'ok installed' <<<"$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null)"; then
        fail "$package is installed already; not touching this machine's copy"
    fi
done
purge() { dpkg -P $rig_pkg $dev_pkg $lib_pkg >/dev/null 2>&1 || true; }
trap 'purge; rm -rf "$scratch"' EXIT

# The rig with the runtime library alone: it must find the versioned name.
dpkg -i "$lib" "$rig" >/dev/null
neutral="$scratch/neutral"
mkdir -p "$neutral"
status=0
(cd "$neutral" && env -u LD_LIBRARY_PATH testbed-report --output report.txt 2>/dev/null) ||
    status=$?
[ $status -le 1 ] || fail "the installed testbed-report exited $status"
grep -q '^\* Tests Complete \* ' "$neutral/report.txt" || fail "the installed rig's report is incomplete"
man -w testbed-report >/dev/null || fail "man testbed-report finds no page"

# A program linked against the library depends on the library package through its symbols.
dpkg -i "$dev" >/dev/null
source_dir=$(cd "$(dirname "$0")/../../qorlib/tests/install" && pwd)
# shellcheck disable=SC2046
cc -o "$neutral/consumer" "$source_dir/consumer.c" $(pkg-config --cflags --libs qorlib145)
"$neutral/consumer" >/dev/null || fail "a program built against the installed library fails"
mkdir -p "$neutral/debian"
: >"$neutral/debian/control"
depends=$(cd "$neutral" && dpkg-shlibdeps -O consumer 2>/dev/null)
grep -qF "$lib_pkg (>= $version)" <<<"$depends" || fail "dpkg-shlibdeps gave: $depends"

installed_files=$(dpkg -L $lib_pkg $dev_pkg $rig_pkg | sort -u)
dpkg -P $rig_pkg $dev_pkg $lib_pkg >/dev/null
while IFS= read -r path; do
    # Shared folders such as /usr/share/man stay; everything the packages brought goes.
    if [ -d "$path" ] && [ ! -L "$path" ] && ! grep -qE 'qorlib|zentrak' <<<"${path##*/}"; then
        continue
    fi
    [ ! -e "$path" ] && [ ! -L "$path" ] || fail "$path is left after purging"
done <<<"$installed_files"
[ -z "$(dpkg-query -W -f='${Status}\n' $lib_pkg $dev_pkg $rig_pkg 2>/dev/null | grep 'ok installed')" ] ||
    fail "packages still listed as installed"
! grep -q libqorlib145 <<<"$(/sbin/ldconfig -p)" || fail "the loader cache still lists the library"
echo "packages OK: installed, ran, purged cleanly"
