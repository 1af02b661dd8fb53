#!/usr/bin/env bash
# The installed window under wine, used as a user uses it, in Xvfb with openbox:
#   window_test.sh PACKAGES_DIR [SHOTS_DIR]
# installs silently, starts xyh.exe from the installed folder, casts 58 by
# clicks (xdotool), saves the cast, takes screenshots into SHOTS_DIR (look
# at them: the Chinese texts must be real glyphs), then starts a second copy,
# which must bring the first window forward and end. F1 opens the help in
# the default browser: wine hands it to the host's xdg-open, here a stand-in
# that writes down what it was given.
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
find_setup "$1"
shots=${2:-$tw_work/shots}
mkdir -p "$shots"
wine_init || exit 1
inst="$local_appdata/Programs/星衍推号"
title="星衍推号 V${version}版"

timeout "$tw_timeout" wine "$setup" /S
check "silent install" test -f "$inst/xyh.exe"
wineserver -w
# Every network key at loopback: nothing leaves the machine.
printf '[net]\r\nresults_home=http://127.0.0.1:9/\r\nkl8_history=http://127.0.0.1:9/\r\nprobe_host=127.0.0.1\r\nupdate_host=\r\n' \
  >"$inst/config.ini"

mkdir -p "$tw_work/bin"
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >>"%s/browser.txt"\n' "$tw_work" >"$tw_work/bin/xdg-open"
chmod +x "$tw_work/bin/xdg-open"
export PATH="$tw_work/bin:$PATH"
# A fresh prefix opens "htmlfile" in winebrowser, which hands the file to
# xdg-open, but binds no .html file to it: Windows always has a program for
# .html files.
wine reg add 'HKCR\.html' /ve /d htmlfile /f >/dev/null 2>&1

start_x
main_window() { xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -1; }
(cd "$tw_work" && timeout 600 wine "$inst/xyh.exe" >"$tw_work/first.log" 2>&1) &
first=$!
has_main_window() { test -n "$(main_window)"; }
wait_for 60 has_main_window
win=$(main_window)
check "the window opens, titled $title" test -n "$win"
[ -n "$win" ] || finish
# The splash closes itself after three seconds.
sleep 4
xdotool windowactivate --sync "$win" 2>/dev/null
sleep 1
import -window root "$shots/window-start.png"

# Where the controls are, from the top-left corner of the window's client
# area, as it lays them out under wine with the fonts of a fresh prefix. The
# pointer moves first and rests: wine takes a click only where it has seen
# the pointer arrive.
read -r wx wy < <(xdotool getwindowgeometry "$win" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
click() {
  xdotool mousemove $((wx + $1)) $((wy + $2))
  sleep 0.3
  xdotool click 1
  sleep 1
}
click 127 95          # 起卦方式
click 106 129         # 数字起卦, the second line of its list
click 226 95          # the number field it shows
xdotool type --delay 150 58
click 370 95          # 卦主生肖
click 351 129         # 子鼠, the second line
click 452 95          # 演算
sleep 1
import -window root "$shots/window-cast.png"
click 846 640         # 名称
# ASCII: xdotool types other characters through a remapped key, which wine
# reads as the first such character again and again.
xdotool type --delay 150 smoke58
click 682 675         # 保存
sleep 1
import -window root "$shots/window-saved.png"
history=$(cd "$tw_work" && timeout "$tw_timeout" wine "$inst/xyh-cli.exe" history list 2>&1 | tr -d '\r')
check "the cast of 58 is saved in the installed program's history" grep -q '^1	smoke58(' <<<"$history"
colours=$(convert "$shots/window-saved.png" -format %k info:)
check "the screenshot shows a drawn window ($colours colours)" test "$colours" -gt 40

# F1: the installed help.html, in the browser.
xdotool windowactivate --sync "$win" key F1 2>/dev/null
# The browser is given a file:// address, its Chinese folder name %-encoded.
browsed() {
  local url
  url=$(head -1 "$tw_work/browser.txt" 2>/dev/null) || return 1
  url=$(python3 -c 'import sys, urllib.parse; print(urllib.parse.unquote(sys.argv[1]))' "${url#file://}")
  test "$(realpath "$url")" = "$(realpath "$inst/help.html")"
}
check "F1 opens the installed help in the default browser" wait_for 20 browsed

# 走势 with two stored draws, then its second tab: the bar charts, drawn by
# the module loaded on first use (red bars; a module that cannot be loaded
# leaves a line of black text instead; the first tab's red balls come to
# a few thousand red pixels).
for draw in "2026140 2026-12-03 3,9,14,20,27,31 8" "2026141 2026-12-06 1,5,12,22,28,33 11"; do
  read -r issue day red blue <<<"$draw"
  (cd "$tw_work" && wine_run "$inst/xyh-cli.exe" draws add --issue "$issue" --date "$day" \
    --red "${red//,/ }" --blue "$blue" >/dev/null 2>&1)
done
click 921 675         # 走势
trend_window() { xdotool search --onlyvisible --name "^走势 - 双色球\$" 2>/dev/null | head -1; }
has_trend() { test -n "$(trend_window)"; }
check "走势 opens" wait_for 20 has_trend
trend=$(trend_window)
read -r tx ty < <(xdotool getwindowgeometry "$trend" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
xdotool mousemove $((tx + 106)) $((ty + 31))   # the tab 出现次数
sleep 0.3
xdotool click 1
sleep 3
import -window root "$shots/window-bars.png"
red_pixels() {
  convert "$1" -format %c histogram:info:- |
    awk -F'[(),]' '$2 > 150 && $3 < 90 && $4 < 90 { n += $1 } END { print n + 0 }'
}
reds=$(red_pixels "$shots/window-bars.png")
check "出现次数 shows its bar charts ($reds red pixels)" test "$reds" -gt 20000
xdotool windowactivate --sync "$trend" key alt+F4 2>/dev/null
sleep 1

# A second start: the first window comes forward, the second copy ends.
xdotool windowminimize --sync "$win" 2>/dev/null
sleep 1
(cd "$tw_work" && timeout 60 wine "$inst/xyh.exe" >"$tw_work/second.log" 2>&1; echo $? >"$tw_work/second-rc") &
wait_for 60 test -e "$tw_work/second-rc"
check "the second start ends" test "$(cat "$tw_work/second-rc" 2>/dev/null)" = 0
viewable() { xwininfo -id "$win" 2>/dev/null | grep -q 'Map State: IsViewable'; }
check "and brings the first window forward" wait_for 10 viewable
active() { test "$(xdotool getactivewindow 2>/dev/null)" = "$win"; }
check "which is the active window" wait_for 10 active
check "and the only one" test "$(xdotool search --onlyvisible --name "^$title\$" | wc -l)" = 1
sleep 1
import -window root "$shots/window-second-start.png"
check "the first copy still runs" kill -0 "$first"
xdotool windowactivate --sync "$win" key alt+F4 2>/dev/null
wait_for 30 sh -c "! kill -0 $first 2>/dev/null"
check "closing the window ends the program" sh -c "! kill -0 $first 2>/dev/null"
echo "screenshots: $shots"
finish
