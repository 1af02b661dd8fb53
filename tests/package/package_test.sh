#!/usr/bin/env bash
# Builds the .deb, unpacks it into a temporary root and uses the programs
# from there: the installed layout keeps its data in the user's folder.
#   package_test.sh BUILD_DIR
set -euo pipefail
build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

(cd "$build" && cpack -G DEB -B "$work/out" >/dev/null)
deb="$(ls "$work"/out/*.deb)"
dpkg-deb -x "$deb" "$work/root"
bin="$work/root/usr/bin"

fail() { echo "FAIL: $*"; exit 1; }

[ "$("$bin/xyh-cli" --version)" = "xyh-cli 1.0.0" ] || fail "xyh-cli --version"
[ "$("$bin/xyh" --version)" = "xyh 1.0.0" ] || fail "xyh --version"

export XDG_DATA_HOME="$work/data"
unset XYH_HOME
out="$("$bin/xyh-cli" cast --number 58 --zodiac 1 --now "2024-06-01 08:30:00" --json)"
grep -q '"header" : "以数字58起卦,卦主生肖:子,日主:丙申,时辰:壬辰"' <<<"$out" || fail "cast --json"
grep -q '"numbers"' <<<"$out" || fail "cast --json numbers"

"$bin/xyh-cli" cast --number 58 --zodiac 1 --now "2024-06-01 08:30:00" --save 甲 | grep -q '^保存成功$' || fail "save"
[ "$("$bin/xyh-cli" history list)" = "$(printf '1\t甲(2024年6月1日8时30分)')" ] || fail "history list"
[ -f "$XDG_DATA_HOME/星衍推号/src/data/xyh.db" ] || fail "the history is not in the user's folder"
[ ! -e "$bin/src" ] || fail "the installed program wrote beside itself"

[ -f "$work/root/usr/share/xyh/help.html" ] || fail "help"
[ -f "$work/root/usr/share/icons/hicolor/48x48/apps/xyh.png" ] || fail "icon"
desktop-file-validate "$work/root/usr/share/applications/xyh.desktop" || fail "desktop entry"
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "dependencies"
dpkg-deb -f "$deb" Depends | grep -q libqt6charts6 || fail "dependencies: Qt Charts"
dpkg-deb -f "$deb" Maintainer | grep -q . || fail "maintainer"
[ -f "$work/root/usr/share/doc/xyh/copyright" ] || fail "licence"
echo "package ok: $(basename "$deb")"
