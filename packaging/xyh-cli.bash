# bash completion for xyh-cli
#
# Everything comes from the program's own help, so commands and options
# added to it are completed without a change here: the commands listed by
# "xyh-cli --help", and per command the options and actions that
# "xyh-cli help COMMAND" lists. An option shown as "--name a|b" takes one of
# a and b; DIR and FILE complete paths; a CODE is one of the three-digit
# codes its description names; ID is a saved cast's id.

_xyh_cli_signs=(子鼠 丑牛 寅虎 卯兔 辰龙 巳蛇 午马 未羊 申猴 酉鸡 戌狗 亥猪)

# The commands under "commands:" in the program's help.
_xyh_cli_commands() {
    command "$1" --help 2>/dev/null |
        awk '/^commands:/ { on = 1; next } on && /^$/ { exit } on && /^  [a-z]/ { print $1 }'
}

# "NAME<TAB>VALUE" for each option of the command (VALUE empty for a flag),
# and "NAME<TAB>VALUE" for each action ("show<TAB>ID", "list<TAB>").
_xyh_cli_terms() {
    command "$1" help "$2" 2>/dev/null |
        awk '/^  [a-z-]/ && match($0, /^  [-a-z]+( [^ ]+)?(  |$)/) {
                 n = split(substr($0, 3, RLENGTH - 2), t, " ")
                 print t[1] "\t" (n > 1 ? t[2] : "")
             }'
}

# The three-digit codes named in the description of an option.
_xyh_cli_codes() {
    command "$1" help "$2" 2>/dev/null |
        awk -v opt="$3" '
            /^  --/ { on = ($1 == opt) }
            on { for (i = 1; i <= NF; i++) if ($i ~ /^[0-9][0-9][0-9],?;?$/) { sub(/[,;]$/, "", $i); print $i } }' |
        sort -u
}

# Completes the value of an option or an action's argument, given its
# placeholder (DIR, FILE, CODE, ID, a|b) and the word typed so far.
_xyh_cli_value() {
    local prog=$1 cmd=$2 name=$3 kind=$4 cur=$5 home=$6
    local IFS=$'\n'
    case $kind in
        *'|'*) COMPREPLY=($(compgen -W "${kind//|/$'\n'}" -- "$cur")) ;;
        DIR) COMPREPLY=($(compgen -d -- "$cur")) ;;
        FILE) COMPREPLY=($(compgen -f -- "$cur")) ;;
        CODE) COMPREPLY=($(compgen -W "$(_xyh_cli_codes "$prog" "$cmd" "$name")" -- "$cur")) ;;
        Z) COMPREPLY=($(compgen -W "${_xyh_cli_signs[*]}" -- "$cur")) ;;
        ID)
            local ids
            if [[ -n $home ]]; then
                ids=$(command "$prog" "$cmd" list --home "$home" 2>/dev/null | cut -f1)
            else
                ids=$(command "$prog" "$cmd" list 2>/dev/null | cut -f1)
            fi
            COMPREPLY=($(compgen -W "$ids" -- "$cur"))
            ;;
    esac
    [[ $kind == DIR || $kind == FILE ]] && compopt -o filenames 2>/dev/null
    return 0
}

_xyh_cli() {
    local prog=${COMP_WORDS[0]} cur=${COMP_WORDS[COMP_CWORD]}
    local prev=${COMP_WORDS[COMP_CWORD - 1]}
    COMPREPLY=()
    local IFS=$'\n'

    if ((COMP_CWORD == 1)); then
        COMPREPLY=($(compgen -W "$(_xyh_cli_commands "$prog")"$'\n--help\n--version' -- "$cur"))
        return 0
    fi
    local cmd=${COMP_WORDS[1]}
    if [[ $cmd == help ]]; then
        ((COMP_CWORD == 2)) && COMPREPLY=($(compgen -W "$(_xyh_cli_commands "$prog" | grep -vx help)" -- "$cur"))
        return 0
    fi

    local -A takes=()
    local -a options=() actions=()
    local line name value
    for line in $(_xyh_cli_terms "$prog" "$cmd"); do
        name=${line%%$'\t'*}
        value=${line#*$'\t'}
        if [[ $name == --* ]]; then
            options+=("$name")
        else
            actions+=("$name")
        fi
        takes[$name]=$value
    done

    # "--name=value": bash splits at "=", so the option is before it.
    local option="" typed=$cur
    if [[ $cur == = && $prev == --* ]]; then
        option=$prev typed=""
    elif [[ $prev == = ]] && ((COMP_CWORD >= 3)) && [[ ${COMP_WORDS[COMP_CWORD - 2]} == --* ]]; then
        option=${COMP_WORDS[COMP_CWORD - 2]}
    elif [[ $cur == --*=* ]]; then
        option=${cur%%=*} typed=${cur#*=}
    elif [[ $prev == --* && -n ${takes[$prev]-} ]]; then
        option=$prev
    fi

    # The words so far: the action, and the home the ids come from.
    local i word home="" action="" after=0
    for ((i = 2; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        case $word in
            --home=*) home=${word#--home=} ;;
            --*) [[ -n ${takes[$word]-} ]] && { [[ $word == --home ]] && home=${COMP_WORDS[i + 1]}; ((i++)); } ;;
            =) ((i++)) ;;
            *) if [[ -z $action ]]; then action=$word; else ((after++)); fi ;;
        esac
    done
    home=${home/#\~/$HOME}

    if [[ -n $option ]]; then
        local kind=${takes[$option]-}
        _xyh_cli_value "$prog" "$cmd" "$option" "$kind" "$typed" "$home"
        if [[ $cur == --*=* ]]; then
            local n
            for n in "${!COMPREPLY[@]}"; do COMPREPLY[n]=$option=${COMPREPLY[n]}; done
        fi
        return 0
    fi
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "${options[*]}" -- "$cur"))
        return 0
    fi
    if ((${#actions[@]} > 0)); then
        if [[ -z $action ]]; then
            COMPREPLY=($(compgen -W "${actions[*]}" -- "$cur"))
        elif ((after == 0)) && [[ -n ${takes[$action]-} ]]; then
            _xyh_cli_value "$prog" "$cmd" "$action" "${takes[$action]-}" "$cur" "$home"
        fi
    fi
    return 0
}

complete -F _xyh_cli xyh-cli
