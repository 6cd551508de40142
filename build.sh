#!/usr/bin/env bash
# One entry point for a fresh Debian/Ubuntu machine:
#   ./build.sh run    install what is missing, build, start the programmer
#   ./build.sh test   install what is missing, build, run every test
#   ./build.sh package  install what is missing, build, make the Debian package in build/
set -euo pipefail
cd "$(dirname "$0")"

packages=(cmake g++ make pkg-config libgtest-dev libbenchmark-dev
          qt6-base-dev qt6-serialport-dev libgl-dev
          poppler-utils fonts-liberation fonts-liberation2 xvfb xauth
          dpkg-dev file desktop-file-utils appstream shared-mime-info groff-base)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

build() {
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build -j "$(nproc)"
}

case "${1:-}" in
    package)
        install_missing
        build
        (cd build && cpack -G DEB)
        ;;
    run)
        install_missing
        build
        if [ -x build/bin/kqprogrammer ]; then
            exec build/bin/kqprogrammer
        else
            exec build/bin/kqtool --help
        fi
        ;;
    test)
        install_missing
        build
        cd build
        ctest --output-on-failure -j "$(nproc)"
        ;;
    *)
        echo "usage: $0 run|test|package" >&2
        exit 2
        ;;
esac
