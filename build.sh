#!/usr/bin/env bash
# One entry point for a fresh Debian/Ubuntu machine:
#   ./build.sh run    install what is missing, build, start the programmer
#   ./build.sh test   install what is missing, build, run every test three
#                     times (the package test once), then once more in a build
#                     with AddressSanitizer and UndefinedBehaviorSanitizer
#                     (build-asan/), and the tests where threads meet with
#                     ThreadSanitizer (build-tsan/)
#   ./build.sh package  install what is missing, build, make the Debian package in build/
set -euo pipefail
cd "$(dirname "$0")"

packages=(cmake g++ make pkg-config libgtest-dev libbenchmark-dev
          qt6-base-dev qt6-serialport-dev libgl-dev
          poppler-utils fonts-liberation fonts-liberation2 xvfb xauth
          dpkg-dev file desktop-file-utils appstream shared-mime-info groff-base
          lintian help2man librsvg2-bin)
# The completion scripts' test sources bash-completion's helpers.
packages+=(bash-completion)
# The accessibility test walks the program's tree as a screen reader does.
packages+=(dbus dbus-x11 at-spi2-core python3-pyatspi)

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

# One compiler run per folder of sources (a unity build) saves a quarter of a
# fresh build's time.
build() {
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_UNITY_BUILD=ON >/dev/null
    cmake --build build -j "$(nproc)"
}

# Any sanitizer finding ends the test program with an error, so ctest fails.
# gcc's maybe-uninitialized analysis is unreliable with sanitizers on (it
# flags std::regex's own headers); the release build keeps the warning.
sanitize_flags="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all -Wno-maybe-uninitialized"

# build_with DIR FLAGS [cmake --build options]: a Debug build with a sanitizer.
build_with() {
    local dir=$1 flags=$2
    shift 2
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_UNITY_BUILD=ON \
        -DCMAKE_CXX_FLAGS="-O1 $flags" \
        -DCMAKE_EXE_LINKER_FLAGS="$flags" \
        -DCMAKE_SHARED_LINKER_FLAGS="$flags" >/dev/null
    cmake --build "$dir" -j "$(nproc)" "$@"
}

sanitizer_env() {
    # LeakSanitizer cannot run under a debugger or tracer; it stays on
    # wherever a leak check of a built program works.
    local leaks=1
    if ASAN_OPTIONS=detect_leaks=1 build-asan/bin/kqtool --version 2>&1 |
            grep -q 'LeakSanitizer has encountered a fatal error'; then
        echo "LeakSanitizer does not work here: leak checks are off"
        leaks=0
    fi
    export ASAN_OPTIONS="detect_leaks=$leaks:halt_on_error=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
    export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
    export LSAN_OPTIONS="suppressions=$PWD/.ci/lsan.supp:print_suppressions=0"
}

# The link's worker thread meets the windows and kqtool in these tests.
tsan_flags="-fsanitize=thread -fno-omit-frame-pointer"
tsan_targets=(test_link test_QtSerialLine test_LinkRunner test_windows test_kqtool_radio
              test_kqtool_bench kqtool kqradio)
tsan_tests='^(test_link|test_QtSerialLine|test_LinkRunner|test_windows|test_kqtool_radio|test_kqtool_bench)$'

test_thread_sanitized() {
    build_with build-tsan "$tsan_flags" --target "${tsan_targets[@]}"
    # Qt starts child processes from a threaded program (the emulator,
    # pdftotext); gcc's ThreadSanitizer handles that once told to go on.
    (cd build-tsan &&
        TSAN_OPTIONS="suppressions=$PWD/../.ci/tsan.supp:halt_on_error=1:die_after_fork=0" \
        ctest --output-on-failure -j2 -R "$tsan_tests")
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
        # The suite once, then twice more without the package, which
        # builds and installs the same package each time.
        (cd build && ctest --output-on-failure -j2 &&
            ctest --repeat until-fail:2 --output-on-failure -j2 -E '^test_package$')
        build_with build-asan "$sanitize_flags"
        (sanitizer_env && cd build-asan && ctest --output-on-failure -j2 -E '^test_package$')
        test_thread_sanitized
        ;;
    *)
        echo "usage: $0 run|test|package" >&2
        exit 2
        ;;
esac
