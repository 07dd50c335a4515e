#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine for the testbed, builds it, and runs the rig or the tests.
#
#   ./testbed.sh run    install what is missing, build, start the rig
#                       (the window when a display is available, else the headless report)
#   ./testbed.sh test   install what is missing, build, run every test
#   ./testbed.sh package  install what is missing, build the Debian packages into
#                       build-deb/packages/
#   ./testbed.sh dll    install what is missing, cross-build qorlib145.dll and the library's
#                       tests for Windows into build-windows/, run the tests under Wine, and
#                       compare a report through the DLL with one through the Linux library
#                       (whose side is built in the build folder)
#
# All are safe to run again: packages already present are not reinstalled and the build
# is incremental. BUILD_DIR overrides the build folder (default: build), PACKAGE_BUILD_DIR
# that of the packages (default: build-deb), DLL_BUILD_DIR that of dll (default:
# build-windows). TESTBED_WERROR=ON makes warnings in the project's own code errors in the
# build folder.
set -euo pipefail

cd "$(dirname "$0")"
BUILD_DIR=${BUILD_DIR:-build}

# What building and running the rig takes, and all that `run` installs: the tool chain, Qt 6
# (with its platform plugins), a font for the window and the zone data the library reads.
RUN_PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libgl-dev libxcb1-dev
    fonts-dejavu-core tzdata
)

# What `test` adds (with PACKAGING_PACKAGES, whose checks are tests too).
TEST_PACKAGES=(
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth xdotool imagemagick x11-utils
    # the window's tests: a window manager, and the accessibility bus a screen reader reads
    openbox at-spi2-core python3-pyatspi dbus-daemon dbus-bin
    # the run page's test opens the page in a real browser
    chromium
    fonts-liberation fonts-dejavu-core tzdata
    clang libclang-rt-14-dev
    # reference codecs for the library benchmarks only; the library never links it
    libssl-dev
    # PHP's own date() as the reference of a date test
    php-cli python3
    # the C library's German messages, for the binding's test of a loader that speaks German
    libc-l10n
    # the German locale (TEST_LOCALE), for the test that the C library's decimal comma is ignored
    locales
)

# What `package` adds: the Debian packages, and the checks of the installed files, desktop
# entry and man pages.
PACKAGING_PACKAGES=(
    dpkg-dev file desktop-file-utils appstream man-db
)

TEST_LOCALE=de_DE.UTF-8

# What `dll` needs: the MinGW-w64 cross compiler, Wine, GoogleTest's sources (built by the
# cross compiler), and what configuring the regular build and building the rig's headless
# program there takes, which compares the DLL's answers with the Linux library's.
DLL_PACKAGES=(
    build-essential cmake ninja-build pkg-config
    g++-mingw-w64-x86-64-posix wine64
    googletest libgtest-dev libgmock-dev libbenchmark-dev tzdata
    qt6-base-dev libgl-dev libxcb1-dev
)

as_root() {
    if [ "$(id -u)" -ne 0 ]; then sudo "$@"; else "$@"; fi
}

install_packages() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

# The C library lists de_DE.UTF-8 as "de_DE.utf8".
generate_test_locale() {
    local listed=${TEST_LOCALE%.UTF-8}.utf8
    locale -a 2>/dev/null | grep -qx "$listed" && return 0
    echo "Generating the locale $TEST_LOCALE"
    as_root localedef -i "${TEST_LOCALE%.UTF-8}" -f UTF-8 "$TEST_LOCALE"
}

# `run` builds neither tests nor benchmarks (and so needs neither GoogleTest nor Google
# Benchmark); the other commands build both. Options are always given, so one build folder
# serves both.
configure() {
    local extras=${1:-ON}
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTESTBED_BUILD_TESTS="$extras" -DTESTBED_BUILD_BENCHMARKS="$extras" \
        -DTESTBED_WERROR="${TESTBED_WERROR:-OFF}"
}

build() {
    configure "$@"
    cmake --build "$BUILD_DIR"
}

# Debian packages: a Release build for /usr with Debian's hardening flags, then CPack.
package() {
    local dir=${PACKAGE_BUILD_DIR:-build-deb}
    flags() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
        -DTESTBED_BUILD_TESTS=OFF -DTESTBED_BUILD_BENCHMARKS=OFF \
        -DCMAKE_C_FLAGS="$(flags CPPFLAGS) $(flags CFLAGS)" \
        -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" \
        -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" -DCMAKE_SHARED_LINKER_FLAGS="$(flags LDFLAGS)"
    cmake --build "$dir"
    (cd "$dir" && cpack -G DEB)
}

# The library and its tests built for Windows and run under Wine, in a Wine prefix of the
# build folder's own. The Linux side of the comparisons comes from the regular build folder,
# where only what they run is built (after `test`, nothing is left to build).
build_dll() {
    local dir=${DLL_BUILD_DIR:-build-windows}
    configure
    cmake --build "$BUILD_DIR" --target testbed-report qorlib-host qorlib145 qorlib_export_table
    local native
    native=$(realpath "$BUILD_DIR/bin")
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
        -DTESTBED_BUILD_GUI=OFF -DTESTBED_BUILD_BENCHMARKS=OFF \
        -DTESTBED_HOST_TABLE="$native/qorlib_export_table" \
        -DTESTBED_NATIVE_REPORT="$native/testbed-report" \
        -DTESTBED_NATIVE_LIBRARY="$native/libqorlib145.so"
    cmake --build "$dir"
    ctest --test-dir "$dir" --output-on-failure --timeout 600
}

case "${1:-}" in
    run)
        # Standard output carries only the report, so "run > report.txt" keeps it clean.
        install_packages "${RUN_PACKAGES[@]}" >&2
        build OFF >&2
        if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
            exec "$BUILD_DIR/bin/testbed"
        else
            echo "No display: writing one headless report." >&2
            exec "$BUILD_DIR/bin/testbed-report"
        fi
        ;;
    test)
        install_packages "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${PACKAGING_PACKAGES[@]}"
        generate_test_locale
        build
        ctest --test-dir "$BUILD_DIR" --output-on-failure --timeout 600
        ;;
    package)
        install_packages "${RUN_PACKAGES[@]}" "${PACKAGING_PACKAGES[@]}"
        package
        ;;
    dll)
        install_packages "${DLL_PACKAGES[@]}"
        build_dll
        ;;
    *)
        echo "usage: $0 run|test|package|dll" >&2
        exit 64
        ;;
esac
