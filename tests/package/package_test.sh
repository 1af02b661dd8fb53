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
# The 周易 text is installed as it came, and the installed program reads it.
cmp -s "$work/root/usr/share/xyh/zhouyi.tsv" "$(dirname "$0")/../../engine/canon/zhouyi.tsv" ||
  fail "zhouyi.tsv"
grep -q '"rule" : "朱熹《易学启蒙·考变占》"' <<<"$out" || fail "cast --json texts"
grep -q 'rushwei/MingAI' "$work/root/usr/share/doc/xyh/copyright" || fail "the canon's sources in the copyright"
"$bin/xyh-cli" history export --format json >"$work/history.json" || fail "history export"
XYH_HOME="$work/moved" "$bin/xyh-cli" history import "$work/history.json" | grep -q '^imported 1, skipped 0' ||
  fail "history import"

share="$work/root/usr/share"
[ -f "$share/icons/hicolor/48x48/apps/com.ptl.xyh.png" ] || fail "icon"
desktop-file-validate "$share/applications/com.ptl.xyh.desktop" || fail "desktop entry"
grep -qx 'Exec=/usr/bin/xyh' "$share/applications/com.ptl.xyh.desktop" || fail "desktop entry Exec"
grep -qx 'Icon=com.ptl.xyh' "$share/applications/com.ptl.xyh.desktop" || fail "desktop entry Icon"
if command -v appstreamcli >/dev/null; then
  # The tree as well: the metadata's desktop entry must be there under its id.
  appstreamcli validate --no-net "$share/metainfo/com.ptl.xyh.metainfo.xml" >/dev/null || fail "metainfo"
  appstreamcli validate-tree --no-net "$work/root" >/dev/null || fail "metainfo and desktop entry"
fi
grep -q "<release version=\"$(dpkg-deb -f "$deb" Version)\"" "$share/metainfo/com.ptl.xyh.metainfo.xml" ||
  fail "metainfo lacks this release"
for page in xyh xyh-cli; do
  man="$share/man/man1/$page.1.gz"
  [ -f "$man" ] || fail "manual page $page"
  warnings="$(MANWIDTH=80 man --warnings -l "$man" 2>&1 >/dev/null)"
  [ -z "$warnings" ] || fail "manual page $page: $warnings"
done
for word in export import XYH_HOME XDG_DATA_HOME config.ini xyh.db xyh.sq; do
  zgrep -q -- "$word" "$share/man/man1/xyh-cli.1.gz" || fail "xyh-cli(1) does not mention $word"
done
bash -c 'source "$1" && complete -p xyh-cli' sh "$share/bash-completion/completions/xyh-cli" >/dev/null ||
  fail "bash completion"
[ "$(dpkg-deb -f "$deb" Section)" = utils ] || fail "section"
zcat "$share/doc/xyh/changelog.gz" | head -1 | grep -qF "xyh ($(dpkg-deb -f "$deb" Version))" ||
  fail "the changelog does not start with this version"
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$share/doc/xyh/copyright" ||
  fail "copyright format"
if command -v lintian >/dev/null; then
  findings="$(lintian "$deb" 2>&1 | grep -E '^[EW]: ' || true)"
  [ -z "$findings" ] || fail "lintian: $findings"
fi

# Installed under another prefix, the menu still finds the program.
cmake --install "$build" --prefix "$work/local" >/dev/null
grep -qx "Exec=$work/local/bin/xyh" "$work/local/share/applications/com.ptl.xyh.desktop" ||
  fail "desktop entry Exec for another prefix"
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "dependencies"
dpkg-deb -f "$deb" Depends | grep -q qt6-translations-l10n || fail "Qt's Chinese translations"
# Opened at run time, so named by hand rather than found by dpkg-shlibdeps.
dpkg-deb -f "$deb" Depends | grep -q "libcurl4 (>= " || fail "libcurl dependency"
dpkg-deb -f "$deb" Depends | grep -q libssl3 || fail "libcrypto dependency"
dpkg-deb -f "$deb" Depends | grep -q libsqlite3-0 || fail "SQLite dependency"
dpkg-deb -f "$deb" Depends | grep -q libgumbo1 || fail "Gumbo dependency"
dpkg-deb -f "$deb" Depends | grep -q libqrencode4 || fail "libqrencode dependency"
dpkg-deb -f "$deb" Depends | grep -q libqt6charts6 || fail "dependencies: Qt Charts"
# The bar charts' module, where the program looks for it from bin/, in the
# package and under another prefix.
modules="$(cd "$bin/.." && ls lib/*/xyh/libxyh_charts.so lib/xyh/libxyh_charts.so 2>/dev/null || true)"
[ -n "$modules" ] || fail "the bar charts' module is not in the package"
[ -f "$work/local/$modules" ] || fail "the bar charts' module under another prefix"
! ldd "$bin/../$modules" | grep -q 'not found' || fail "the bar charts' module lacks a library"
dpkg-deb -f "$deb" Maintainer | grep -q . || fail "maintainer"
[ -f "$work/root/usr/share/doc/xyh/copyright" ] || fail "licence"
echo "package ok: $(basename "$deb")"
