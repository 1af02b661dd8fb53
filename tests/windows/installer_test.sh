#!/usr/bin/env bash
# The installer under wine, as a user and the self-updater use it:
#   installer_test.sh PACKAGES_DIR
# a silent install per user; the installed programs start and find their data;
# a second silent install over it (an update) keeps the history and the
# settings, and waits for a running copy to end before it replaces a file;
# the uninstaller removes the program and leaves the history and settings.
# And the portable zip: the same files, and its data beside the program.
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
find_setup "$1"
wine_init || exit 1

key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\xyh'
inst="$local_appdata/Programs/星衍推号"
cli() { (cd "$tw_work" && wine_run "$inst/xyh-cli.exe" "$@" 2>&1 | tr -d '\r'); }
has() { grep -qF -- "$1" <<<"$2"; }

# --- a first install ---
wine_run "$setup" /S
check "silent install ends with 0" test $? -eq 0
wineserver -w
check "the program is in %LOCALAPPDATA%\\Programs\\星衍推号" test -f "$inst/xyh.exe" -a -f "$inst/xyh-cli.exe"
check "an uninstaller beside it" test -f "$inst/uninstall.exe"
check "the Qt plugins" test -f "$inst/platforms/qwindows.dll" -a -f "$inst/styles/qwindowsvistastyle.dll"
check "the help, the 周易 text and the licences" \
  test -f "$inst/help.html" -a -f "$inst/zhouyi.tsv" -a -f "$inst/licenses/GPL-3.txt"
check "a Start-menu shortcut" test -f "$appdata/Microsoft/Windows/Start Menu/Programs/星衍推号/星衍推号.lnk"
check "a desktop shortcut" test -f "$profile/Desktop/星衍推号.lnk"
reg=$(wine reg query "$key" 2>/dev/null | tr -d '\r')
check "the uninstaller is registered under HKCU with the version" has "$version" "$reg"
check "and with its silent command" has 'uninstall.exe" /S' "$reg"

# --- the installed programs start and find their data ---
check "xyh-cli.exe --version" test "$(cli --version)" = "xyh-cli $version"
check "xyh.exe --version" test "$(cd "$tw_work" && wine_run "$inst/xyh.exe" --version 2>/dev/null | tr -d '\r')" = "xyh $version"
out=$(cli cast --number 58 --zodiac 1 --now "2024-06-01 08:30:00" --json)
check "a cast reads the 周易 text beside the program" has '"rule" : "朱熹《易学启蒙·考变占》"' "$out"
check "a cast is saved" grep -qx 保存成功 <<<"$(cli cast --number 58 --zodiac 1 --now "2024-06-01 08:30:00" --save 甲)"
check "the history is beside the program (src\\data\\xyh.db)" test -f "$inst/src/data/xyh.db"
printf '[net]\r\nupdate_host=127.0.0.1:9\r\n' >"$inst/config.ini"
history_before=$(cli history list)
check "the history lists the saved cast" has "甲(2024年6月1日8时30分)" "$history_before"

# --- an update over a running copy: the installer waits for it ---
# A copy that runs until its standard input ends: a pipe from a sleep of ours.
({ sleep 300 & echo $! >"$tw_work/feeder"; wait; } |
  (cd "$tw_work" && timeout "$tw_timeout" wine "$inst/xyh-cli.exe" cast --batch >/dev/null 2>&1)) &
running=$!
sleep 3
touch -d '2000-01-01' "$inst/xyh.exe" "$inst/xyh-cli.exe"
(timeout "$tw_timeout" wine "$setup" /S; echo $? >"$tw_work/setup-rc") &
sleep 6
check "the installer waits while a copy runs" test ! -e "$tw_work/setup-rc"
check "and has replaced nothing yet" test "$(stat -c %Y "$inst/xyh.exe")" -lt 1000000000
kill "$(cat "$tw_work/feeder")"
wait "$running"
wait_for 60 test -e "$tw_work/setup-rc"
check "once it ends, the update ends with 0" test "$(cat "$tw_work/setup-rc" 2>/dev/null)" = 0
wineserver -w
check "and the program is replaced" test "$(stat -c %Y "$inst/xyh.exe")" -gt 1000000000
check "the update keeps the history" test "$(cli history list)" = "$history_before"
check "the update keeps config.ini" grep -q 'update_host=127.0.0.1:9' "$inst/config.ini"

# --- the uninstaller ---
wine_run "$inst/uninstall.exe" /S
wineserver -w
wait_for 30 test ! -e "$inst/xyh.exe"
check "the uninstaller removes the programs" test ! -e "$inst/xyh.exe" -a ! -e "$inst/xyh-cli.exe"
check "and the DLLs, plugins and itself" \
  test -z "$(find "$inst" -name '*.dll' -o -name uninstall.exe -o -name licenses)"
check "and the shortcuts" test ! -e "$profile/Desktop/星衍推号.lnk" -a \
  ! -e "$appdata/Microsoft/Windows/Start Menu/Programs/星衍推号"
check "and its registration" test -z "$(wine reg query "$key" 2>/dev/null | tr -d '\r' | grep DisplayName)"
check "it keeps the history" test -s "$inst/src/data/xyh.db"
check "it keeps config.ini" grep -q 'update_host=127.0.0.1:9' "$inst/config.ini"
check "a new install finds the history again" sh -c "timeout $tw_timeout wine '$setup' /S && wineserver -w"
check "as it was" test "$(cli history list)" = "$history_before"

# --- the portable zip, unpacked into a folder whose name is Chinese and has a space ---
zip=${setup%-setup.exe}.zip
portable="$tw_work/便携 版"
unzip -q "$zip" -d "$portable"
portable="$portable/xyh-$version-win64"
installed_files=$(cd "$inst" && find . -type f ! -path './src/*' ! -name config.ini ! -name uninstall.exe | LC_ALL=C sort)
check "the zip holds the installer's files" test "$(cd "$portable" && find . -type f | LC_ALL=C sort)" = "$installed_files"
pcli() { (cd "$tw_work" && wine_run "$portable/xyh-cli.exe" "$@" 2>&1 | tr -d '\r'); }
check "the portable program saves a cast" \
  grep -qx 保存成功 <<<"$(pcli cast --number 58 --zodiac 1 --now "2024-06-01 08:30:00" --save 乙)"
check "beside itself (src\\data\\xyh.db)" test -f "$portable/src/data/xyh.db"
check "and lists it" grep -q "乙(2024年6月1日8时30分)" <<<"$(pcli history list)"
finish
