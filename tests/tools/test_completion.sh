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
# The adapters' stable names come first when nothing is typed, also after a comma.
mkdir sub/by-id && touch sub/by-id/usb-FTDI_FT232R_USB_UART_A5-if00-port0
_kq_by_id=$PWD/sub/by-id
adapter=$_kq_by_id/usb-FTDI_FT232R_USB_UART_A5-if00-port0
expect _kqtool "$adapter" "$kqtool" ports --port "$_kq_by_id/u"
for typed in "" "/dev/null,"; do
    COMP_WORDS=("$kqtool" write a.KQ --port "$typed") COMP_CWORD=4 COMP_LINE="$kqtool write a.KQ --port $typed"
    COMP_POINT=${#COMP_LINE} COMPREPLY=()
    _kqtool "$kqtool" "$typed" --port
    if [[ ${COMPREPLY[0]-} == "$typed$adapter" && ${COMPREPLY[*]} == *"$typed/dev/tty"* ]]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAIL: --port '$typed': got '${COMPREPLY[*]:0:3}'"
    fi
done
expect _kqtool "--last" "$kqtool" restore --la
expect _kqtool "backups" "$kqtool" back
expect _kqradio "--model" "$kqradio" --mod
expect _kqradio "a.KQ b.kq sub" "$kqradio" --image ""
echo "$passed passed, $failed failed"
[[ $failed == 0 ]]
