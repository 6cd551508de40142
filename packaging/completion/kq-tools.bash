# bash completion for kqtool and kqradio                 -*- shell-script -*-
# Installed once under each program's name. Commands, options and model
# names come from the programs' own --help, so they follow the programs.

# Whether option $1 takes a value, by the help text on standard input: its
# help line names it followed by a value ("--date Y/M/D", "--to CH").
_kq_takes_value()
{
    grep -Eq -- "(^ +|, )$1[ =][A-Z<]"
}

# Where the system keeps the stable names of USB serial adapters.
_kq_by_id=/dev/serial/by-id

# Serial devices, also after the comma of a list ("--port a,b"): with nothing
# typed yet, the adapters' stable by-id names first, then /dev/tty*.
_kq_ports()
{
    local prefix="" part=$cur
    if [[ $cur == *,* ]]; then
        prefix=${cur%,*},
        part=${cur##*,}
    fi
    if [[ -z $part ]]; then
        COMPREPLY=($(compgen -P "$prefix" -G "$_kq_by_id/*") $(compgen -P "$prefix" -G "/dev/tty*"))
    else
        COMPREPLY=($(compgen -P "$prefix" -G "$part*"))
    fi
}

_kq_models()
{
    COMPREPLY=($(compgen -W "$("$1" ${2-} --help 2>/dev/null | grep -o 'KQ-[0-9]\{4\}' | sort -u)" \
        -- "$cur"))
}

_kq_options()
{
    COMPREPLY=($(compgen -W "$(_parse_help "$1" "${2-} --help")" -- "$cur"))
    [[ ${COMPREPLY-} == *= ]] && compopt -o nospace
}

_kqtool()
{
    local cur prev words cword split
    _init_completion -s || return

    if ((cword == 1)); then
        COMPREPLY=($(compgen -W "$("$1" --help 2>/dev/null |
            sed -n 's/^kqtool \([a-z]*\):$/\1/p') help --help --version" -- "$cur"))
        return
    fi
    local command=${words[1]}
    case $command in
        help)
            ((cword == 2)) && COMPREPLY=($(compgen -W "$("$1" --help 2>/dev/null |
                sed -n 's/^kqtool \([a-z]*\):$/\1/p')" -- "$cur"))
            return
            ;;
        --*) return ;;
    esac

    case $prev in
        --model) _kq_models "$1" "$command"; return ;;
        --format) COMPREPLY=($(compgen -W 'kq chirp' -- "$cur")); return ;;
        --port) _kq_ports; return ;;
        --trace) _filedir; return ;;
        -o)
            case $command in
                export) _filedir csv ;;
                report) _filedir ;;
                *) _filedir '[Kk][Qq]' ;;
            esac
            return
            ;;
        -*)
            "$1" "$command" --help 2>/dev/null | _kq_takes_value "$prev" && return
            ;;
    esac
    $split && return

    if [[ $cur == -* ]]; then
        _kq_options "$1" "$command"
    elif [[ $command == import ]]; then
        _filedir csv
    elif [[ $command == replay ]]; then
        _filedir # a link log, whatever its name
    else
        _filedir '[Kk][Qq]'
    fi
} &&
    complete -F _kqtool kqtool

_kqradio()
{
    local cur prev words cword split
    _init_completion -s || return

    case $prev in
        --model) _kq_models "$1"; return ;;
        --image | --save) _filedir '[Kk][Qq]'; return ;;
        -*)
            "$1" --help 2>/dev/null | _kq_takes_value "$prev" && return
            ;;
    esac
    $split && return
    _kq_options "$1"
} &&
    complete -F _kqradio kqradio
