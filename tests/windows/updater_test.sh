#!/usr/bin/env bash
# The self-updater of the installed program under wine, against an update
# server of the test's own on 127.0.0.1 (tests/net/test_server.py, https with
# a certificate of the test's own authority):
#   updater_test.sh PACKAGES_DIR [SHOTS_DIR]
# the manifest offers build 2; 立即下载 fetches the installer (this
# package's, served in paced pieces so that the progress shows), 立即安装
# checks its MD5 and starts it, the program closes and the installer updates
# it; the next start deletes the downloaded installer.
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
find_setup "$1"
shots=${2:-$tw_work/shots}
mkdir -p "$shots"
wine_init || exit 1
inst="$local_appdata/Programs/星衍推号"
title="星衍推号 V${version}版"

timeout "$tw_timeout" wine "$setup" /S
wineserver -w
check "silent install" test -f "$inst/xyh.exe"

# The test's authority, the server's certificate for 127.0.0.1, the server.
ca=$tw_work/ca
mkdir -p "$ca" "$tw_work/root/update/xyh"
sh "$here/../net/make_certs.sh" "$ca" >/dev/null 2>&1 || { fail "test certificates"; finish; }
cp "$setup" "$tw_work/root/setup.exe"
python3 "$here/../net/test_server.py" "$tw_work/root" --cert "$ca/server.pem" --key "$ca/server.key" \
  >"$tw_work/port" 2>"$tw_work/server.log" &
tw_pids+=($!)
wait_for 10 test -s "$tw_work/port"
port=$(head -1 "$tw_work/port")
md5=$(md5sum "$setup" | cut -c1-32 | tr a-f A-F)
# By the name localhost, which resolves to 127.0.0.1: curl 7.88's Schannel
# matches a certificate's DNS names only, not its IP address.
url="https://localhost:$port/files/setup.exe?pace=262144,100"
# The address as the manifest writes it: its UTF-16LE bytes in hex.
url_hex=$(printf %s "$url" | iconv -t UTF-16LE | od -An -tx1 -v | tr -d ' \n')
cat >"$tw_work/root/update/xyh/index.json" <<EOF
{"name":"星衍推号","ver":2,"verns":"V1.0.1","day":"2026-12-08","url":"$url_hex",
 "md5":"$md5","size":$(stat -c %s "$setup"),"body":"修正了若干问题\n更快"}
EOF
printf '[net]\r\nresults_home=http://127.0.0.1:9/\r\nkl8_history=http://127.0.0.1:9/\r\nprobe_host=127.0.0.1\r\nupdate_host=localhost:%s\r\nca_bundle=%s\r\n' \
  "$port" "$(win_path "$ca/ca.pem")" >"$inst/config.ini"
touch -d 2000-01-01 "$inst/xyh.exe"

start_x
window_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1; }
has_window() { test -n "$(window_named "$1")"; }
(cd "$tw_work" && timeout 600 wine "$inst/xyh.exe" >"$tw_work/first.log" 2>&1) &
first=$!
wait_for 60 has_window "$title"
check "the window opens" test -n "$(window_named "$title")"
# The check runs five seconds after the start.
wait_for 40 has_window 发现新版本
upd=$(window_named 发现新版本)
check "the manifest offers the update (发现新版本)" test -n "$upd"
[ -n "$upd" ] || finish
check "the manifest was asked for once" \
  test "$(curl -sk "https://127.0.0.1:$port/count/update/xyh/index.json")" = 1
xdotool windowactivate --sync "$upd" 2>/dev/null
sleep 1
import -window root "$shots/update-offer.png"
# The buttons by their place in the window: 下次再说 left, 立即下载 right,
# on the bottom row.
read -r w h < <(xdotool getwindowgeometry "$upd" | sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\)/\1 \2/p')
xdotool mousemove --window "$upd" $((w / 2 + w / 8)) $((h - 22)) click 1
sleep 1.5
import -window root "$shots/update-downloading.png"
# The download goes to a hidden ".NAME.part-…" beside its final name.
fetching() { ls -A "$inst" | grep -qE "^(\.$md5\.exe\.part-|$md5\.exe\$)"; }
check "the installer is being fetched" wait_for 10 fetching
check "the download completes, named after its MD5" wait_for 60 test -f "$inst/$md5.exe"
check "and is the installer" cmp -s "$inst/$md5.exe" "$setup"
sleep 2
import -window root "$shots/update-downloaded.png"
xdotool mousemove --window "$upd" $((w / 2 + w / 8)) $((h - 22)) click 1
check "立即安装: the program closes" wait_for 30 sh -c "! kill -0 $first 2>/dev/null"
check "and remembers the installer in config.ini" grep -q "update_file=$md5.exe" "$inst/config.ini"
# The installer runs silently and waits for the program to end.
replaced() { test "$(stat -c %Y "$inst/xyh.exe")" -gt 1000000000; }
check "the installer replaces the program" wait_for 90 replaced
wineserver -w

# The next start deletes the installer it left.
(cd "$tw_work" && timeout 600 wine "$inst/xyh.exe" >"$tw_work/second.log" 2>&1) &
again=$!
wait_for 60 has_window "$title"
check "the next start deletes the downloaded installer" wait_for 20 test ! -e "$inst/$md5.exe"
check "and does not offer the update again today" sh -c "sleep 8; test -z \"\$(xdotool search --onlyvisible --name '^发现新版本\$')\""
win=$(window_named "$title")
[ -n "$win" ] && xdotool windowactivate --sync "$win" key alt+F4 2>/dev/null
wait_for 30 sh -c "! kill -0 $again 2>/dev/null"
finish
