#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine for the testbed, builds it, and runs the rig or the tests.
#
#   ./testbed.sh run    install what is missing, build, start the rig
#                       (the window when a display is available, else the headless report)
#   ./testbed.sh test   install what is missing, build, run every test
#   ./testbed.sh package  install what is missing, build the Debian packages into
#                       build-deb/packages/
#
# All are safe to run again: packages already present are not reinstalled and the build
# is incremental. BUILD_DIR overrides the build folder (default: build), PACKAGE_BUILD_DIR
# that of the packages (default: build-deb).
set -euo pipefail

cd "$(dirname "$0")"
BUILD_DIR=${BUILD_DIR:-build}

PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libgl-dev libxcb1-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth xdotool imagemagick x11-utils
    fonts-liberation fonts-dejavu-core tzdata
    clang libclang-rt-14-dev
    # reference codecs for the library benchmarks only; the library never links it
    libssl-dev
    # the Debian packages, and the checks of the installed files, desktop entry and man pages
    dpkg-dev file desktop-file-utils appstream man-db
    # PHP's own date() as the reference of a date test
    php-cli python3
)

install_packages() {
    local missing=()
    for package in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

build() {
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
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

case "${1:-}" in
    run)
        # Standard output carries only the report, so "run > report.txt" keeps it clean.
        install_packages >&2
        build >&2
        if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
            exec "$BUILD_DIR/bin/testbed"
        else
            echo "No display: writing one headless report." >&2
            exec "$BUILD_DIR/bin/testbed-report"
        fi
        ;;
    test)
        install_packages
        build
        ctest --test-dir "$BUILD_DIR" --output-on-failure --timeout 600
        ;;
    package)
        install_packages
        package
        ;;
    *)
        echo "usage: $0 run|test|package" >&2
        exit 64
        ;;
esac
