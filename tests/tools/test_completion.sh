#!/usr/bin/env bash
# The bash completion script, sourced as bash-completion would, completes
# kqtool's commands, options, models and files, and kqradio's options.
# Arguments: kqtool, kqradio, the completion script.
set -u
kqtool=$1 kqradio=$2 script=$3
source /usr/share/bash-completion/bash_completion || exit 1
source "$script" || exit 1
cd "$(mktemp -d)" || exit 1
trap 'rm -rf "$PWD"' EXIT
touch a.KQ b.kq c.csv d.txt
mkdir sub

passed=0 failed=0
# expect FUNCTION "WANTED REPLY" WORDS...: the words typed, the last one being completed.
expect() {
    local function=$1 wanted=$2
    shift 2
    COMP_WORDS=("$@") COMP_CWORD=$(($# - 1)) COMP_LINE="$*" COMP_POINT=${#COMP_LINE} COMPREPLY=()
    "$function" "$1" "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"
    local got
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ')
    if [[ $got == "$wanted " ]]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAIL: ${*:2}: got '$got', wanted '$wanted '"
    fi
}

expect _kqtool "import" "$kqtool" im
expect _kqtool "fill" "$kqtool" help fi
expect _kqtool "--skip-unfit" "$kqtool" import --sk
expect _kqtool "--to --tx" "$kqtool" fill a.KQ --t
expect _kqtool "c.csv sub" "$kqtool" import ""
expect _kqtool "a.KQ b.kq sub" "$kqtool" show ""
expect _kqtool "c.csv sub" "$kqtool" export a.KQ -o ""
expect _kqtool "KQ-0153 KQ-0253 KQ-0353 KQ-0453" "$kqtool" new --model KQ
expect _kqtool "KQ-0453" "$kqtool" new --model=KQ-04
expect _kqtool "" "$kqtool" fill a.KQ --start ""
expect _kqtool "/dev/null,./sub" "$kqtool" read --port /dev/null,./su
expect _kqtool "replay" "$kqtool" repl
expect _kqtool "a.KQ b.kq c.csv d.txt sub" "$kqtool" replay ""
expect _kqtool "a.KQ b.kq c.csv d.txt sub" "$kqtool" write a.KQ --trace ""
expect _kqtool "--tick-ms --trace" "$kqtool" verify a.KQ --t
expect _kqradio "--model" "$kqradio" --mod
expect _kqradio "a.KQ b.kq sub" "$kqradio" --image ""
echo "$passed passed, $failed failed"
[[ $failed == 0 ]]
