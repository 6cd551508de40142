#!/bin/sh
# The program as a screen reader sees it: the real kqprogrammer in an X
# server of its own with a session bus and the accessibility bus, its tree
# walked through AT-SPI. Skipped (77) where those cannot start.
# usage: test_accessibility.sh KQPROGRAMMER KQTOOL WALKER.py
set -u
program=$1 kqtool=$2 walker=$3
skip() { echo "SKIP: $*"; exit 77; }
for tool in xvfb-run dbus-run-session; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (xvfb, dbus)"
done
[ -x /usr/libexec/at-spi-bus-launcher ] || skip "the accessibility bus is not installed (at-spi2-core)"
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || skip "python3-pyatspi is not installed"

# In the sanitizer build: the X platform's keymap code (libxkbcommon-x11)
# hands strndup a string without its end, which AddressSanitizer's strict
# string checks stop on; that code is not ours.
[ -n "${ASAN_OPTIONS:-}" ] && export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"

dir=$(mktemp -d) || exit 1
trap 'rm -rf "$dir"' EXIT
# A table with channel 5 outside the radio's band.
"$kqtool" new -o "$dir/t.KQ" >/dev/null &&
    "$kqtool" fill "$dir/t.KQ" --from 5 --to 5 --start 440 --step 0 >/dev/null || exit 1
XDG_RUNTIME_DIR=$dir xvfb-run -a -s '-screen 0 1280x1024x24' \
    dbus-run-session -- /usr/bin/python3 "$walker" "$program" "$dir/t.KQ" 2>"$dir/err"
status=$?
[ $status -eq 0 ] || cat "$dir/err" >&2
exit $status
