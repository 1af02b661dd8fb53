#!/usr/bin/env bash
# Drives the bash completion of xyh-cli (as the build makes it from the
# program's command tables) as bash would, against the built program and a
# history of its own.
#   completion_test.sh BIN_DIR COMPLETION_FILE
set -uo pipefail
PATH="$(cd "$1" && pwd):$PATH"
# shellcheck source=/dev/null
source "$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export XYH_HOME="$work/home" TZ=Asia/Shanghai
failed=0

# complete WORD... : the words of the line, the last one being completed.
complete_line() {
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="$*"
    COMPREPLY=()
    _xyh_cli
    printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//'
}

expect() {
    local want
    want="$(tr ' ' '\n' <<<"$1" | sort | tr '\n' ' ' | sed 's/ $//')"
    shift
    local got
    got="$(complete_line "$@")"
    if [[ $got != "$want" ]]; then
        echo "FAIL: [$*] gave [$got], wanted [$want]"
        failed=1
        return 1
    fi
}

# contains WANT WORD...: every word of WANT is offered.
contains() {
    local want=$1 w
    shift
    local got
    got=" $(complete_line "$@") "
    for w in $want; do
        if [[ $got != *" $w "* ]]; then
            echo "FAIL: [$*] gave [$got], lacking [$w]"
            failed=1
        fi
    done
}

contains "cast history draw help --help --version" xyh-cli ""
expect "history" xyh-cli hi
expect "cast check draw draws history ledger play stats" xyh-cli help ""
expect "add delete list" xyh-cli play ""
contains "--red --dan --blue --multiple" xyh-cli play add 1 --
expect "delete export import list show" xyh-cli history ""
expect "export" xyh-cli history --home "$XYH_HOME" ex

xyh-cli cast --number 58 --zodiac 1 --save 甲 >/dev/null
xyh-cli cast --number 59 --zodiac 1 --save 乙 >/dev/null
XYH_HOME="$work/other" xyh-cli cast --number 60 --zodiac 1 --save 丙 >/dev/null
expect "1 2" xyh-cli history show ""
expect "2" xyh-cli history delete 2
expect "" xyh-cli history show 1 ""
expect "1" xyh-cli history delete --home "$work/other" ""
expect "1" xyh-cli history show --home="$work/other" ""
expect "1 2" xyh-cli play add ""
expect "--json --home" xyh-cli play list --
expect "--format --home --output" xyh-cli history export --
expect "--blue --date --home --issue --lottery --red" xyh-cli draws add --

expect "子鼠 丑牛 寅虎 卯兔 辰龙 巳蛇 午马 未羊 申猴 酉鸡 戌狗 亥猪" xyh-cli cast --zodiac ""
expect "寅虎" xyh-cli cast --number 5 --zodiac 寅
expect "draw now" xyh-cli cast --time ""
expect "求财 功名 文书 子孙 兄弟" xyh-cli cast --topic ""
expect "" xyh-cli cast --up ""
expect "100 101 102 103 104 105 106" xyh-cli draw --lottery ""
expect "100 101 106" xyh-cli cast --lottery ""
expect "csv json" xyh-cli history export --format ""
expect "json" xyh-cli history export --format = j
expect "--format=csv --format=json" xyh-cli history export --format=
contains "--number --time --lines --zodiac --save --note --json --home" xyh-cli cast --
expect "--format" xyh-cli history export --fo

mkdir "$work/files" && touch "$work/files/saved.csv" "$work/files/saved.json"
(cd "$work/files" && expect "saved.csv saved.json" xyh-cli history import s) || failed=1
expect "" xyh-cli history import a.csv ""

[[ $failed == 0 ]] && echo "completion ok"
exit $failed
