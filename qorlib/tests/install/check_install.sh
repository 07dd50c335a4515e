#!/usr/bin/env bash
# Installs the build into a scratch prefix and builds a C consumer against it twice: with
# the CMake package and with pkg-config. Also checks the versioned SONAME.
set -euo pipefail
build_dir=$1
source_dir=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cmake --install "$build_dir" --prefix "$scratch/prefix" >/dev/null
libdir=$(find "$scratch/prefix" -name 'libqorlib145.so.1' -printf '%h\n' | head -n 1)
[ -n "$libdir" ] || { echo "libqorlib145.so.1 not installed"; exit 1; }
[ -f "$scratch/prefix/include/qorlib145.h" ] || { echo "header not installed"; exit 1; }
soname=$(readelf -d "$libdir/libqorlib145.so.1" | sed -n 's/.*SONAME.*\[\(.*\)\]/\1/p')
[ "$soname" = "libqorlib145.so.1" ] || { echo "SONAME is '$soname'"; exit 1; }

cmake -S "$source_dir" -B "$scratch/cmake-build" -G Ninja \
    -DCMAKE_PREFIX_PATH="$scratch/prefix" >/dev/null
cmake --build "$scratch/cmake-build" >/dev/null
LD_LIBRARY_PATH="$libdir" "$scratch/cmake-build/consumer"

export PKG_CONFIG_PATH="$libdir/pkgconfig"
# shellcheck disable=SC2046
cc -o "$scratch/pc-consumer" "$source_dir/consumer.c" $(pkg-config --cflags --libs qorlib145)
LD_LIBRARY_PATH="$libdir" "$scratch/pc-consumer"
echo "install OK"
