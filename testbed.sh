#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine for the testbed, builds it, and runs the rig or the tests.
#
#   ./testbed.sh run    install what is missing, build, start the rig
#                       (the window when a display is available, else the headless report)
#   ./testbed.sh test   install what is missing, build, run every test
#
# Both are safe to run again: packages already present are not reinstalled and the build
# is incremental. BUILD_DIR overrides the build folder (default: build).
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
    *)
        echo "usage: $0 run|test" >&2
        exit 64
        ;;
esac
