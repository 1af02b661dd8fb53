#!/usr/bin/env bash
# The installed window under wine, used as a user uses it, in Xvfb with openbox:
#   window_test.sh PACKAGES_DIR [SHOTS_DIR]
# installs silently, starts xyh.exe from the installed folder, casts 58 by
# clicks (xdotool), saves the cast, takes screenshots into SHOTS_DIR (look
# at them: the Chinese texts must be real glyphs), then starts a second copy,
# which must bring the first window forward and end.
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

start_x
main_window() { xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -1; }
(cd "$tw_work" && timeout 600 wine "$inst/xyh.exe" >"$tw_work/first.log" 2>&1) &
first=$!
wait_for 60 test -n "$(main_window)"
win=$(main_window)
check "the window opens, titled $title" test -n "$win"
[ -n "$win" ] || finish
# The splash closes itself after three seconds.
sleep 4
xdotool windowmove --sync "$win" 0 0 windowactivate --sync "$win" 2>/dev/null
sleep 1
import -window root "$shots/window-start.png"

# Where the controls are, from the window's top-left corner, as the window
# lays them out with wine's default fonts (the host's, through fontconfig).
click() { xdotool mousemove --window "$win" "$1" "$2" click 1; sleep 0.7; }
click 258 94          # 起卦方式
click 239 116         # 数字起卦, the first choice below it
click 357 94          # the number field beside it
xdotool type --delay 100 58
click 503 94          # 卦主生肖
click 480 116         # 子鼠, the first choice
click 587 94          # 演算
sleep 1
import -window root "$shots/window-cast.png"
click 977 770         # 名称
xdotool type --delay 100 冒烟测试
click 816 802         # 保存
sleep 1
import -window root "$shots/window-saved.png"
history=$(cd "$tw_work" && timeout "$tw_timeout" wine "$inst/xyh-cli.exe" history list 2>&1 | tr -d '\r')
check "the cast of 58 is saved in the installed program's history" grep -q '冒烟测试' <<<"$history"
colours=$(convert "$shots/window-saved.png" -format %k info:)
check "the screenshot shows a drawn window ($colours colours)" test "$colours" -gt 40

# A second start: the first window comes forward, the second copy ends.
xdotool windowminimize --sync "$win" 2>/dev/null
sleep 1
(cd "$tw_work" && timeout 60 wine "$inst/xyh.exe" >"$tw_work/second.log" 2>&1; echo $? >"$tw_work/second-rc") &
wait_for 60 test -e "$tw_work/second-rc"
check "the second start ends" test "$(cat "$tw_work/second-rc" 2>/dev/null)" = 0
viewable() { xwininfo -id "$win" 2>/dev/null | grep -q 'Map State: IsViewable'; }
check "and brings the first window forward" wait_for 10 viewable
check "which is the active window" wait_for 10 test "$(xdotool getactivewindow 2>/dev/null)" = "$win"
check "and the only one" test "$(xdotool search --onlyvisible --name "^$title\$" | wc -l)" = 1
sleep 1
import -window root "$shots/window-second-start.png"
check "the first copy still runs" kill -0 "$first"
xdotool windowactivate --sync "$win" key alt+F4 2>/dev/null
wait_for 30 sh -c "! kill -0 $first 2>/dev/null"
check "closing the window ends the program" sh -c "! kill -0 $first 2>/dev/null"
echo "screenshots: $shots"
finish
