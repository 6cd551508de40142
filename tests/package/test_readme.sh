#!/bin/sh
# usage: test_readme.sh README.md BIN_DIR
# Pastes the read-me's runnable example into bash as a new user would: in an
# empty folder, the built programs on the PATH, stopping at the first command
# that fails.
set -eu
readme=$1 bin=$(cd "$2" && pwd)
tmp=$(mktemp -d)
# The example runs in a process group of its own, so that an emulator left
# running by a failed step ends with the test.
trap 'kill -s TERM -- "-$pid" 2>/dev/null || true; rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

awk '/<!-- runnable example/ { marked = 1; next }
     marked && /^```/ { if (inside) exit; inside = 1; next }
     inside' "$readme" >"$tmp/example.sh"
[ -s "$tmp/example.sh" ] || fail "no runnable example marked in $readme"
grep -q '^kqtool new ' "$tmp/example.sh" || fail "the example does not start from a new file"

mkdir "$tmp/work"
# The backup a write keeps goes to the test's folder, not the user's.
(cd "$tmp/work" && XDG_STATE_HOME="$tmp/state" PATH="$bin:$PATH" exec setsid -w bash -e -x "$tmp/example.sh") >"$tmp/out.log" 2>&1 &
pid=$!
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || { tr '\r' '\n' <"$tmp/out.log" | grep -v '^\[' | tail -n 30; fail "the example stopped with status $status"; }
# What it wrote is what it read back from the emulator.
cmp -s "$tmp/work/table.KQ" "$tmp/work/radio.KQ" || fail "the radio's table differs from the file written"
echo "read-me example: $(grep -c . "$tmp/example.sh") commands ran"
