# What the tests of the Windows packages share: a wine prefix of their own, an
# X display with a window manager, and the count of checks. Sourced, not run.
#   WINEPREFIX   the prefix to use (default: a new one in the test's folder)
#   XYH_WIN_TIMEOUT  seconds one wine command may take (default 120)
#   XYH_WIN_KEEP=1   keep the test's folder (logs, prefix) to look into

set -uo pipefail

tw_work=$(mktemp -d "${TMPDIR:-/tmp}/xyh-wintest.XXXXXX")
tw_passed=0
tw_failed=0
tw_pids=()

export WINEPREFIX=${WINEPREFIX:-$tw_work/wine}
export WINEDEBUG=${WINEDEBUG:--all}
# No gecko/mono download dialogs, and no menu entries of the host made for the
# installer's shortcuts.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
# Code page 936, as on a Chinese Windows (needs the zh_CN.UTF-8 glibc locale).
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
# Qt's messages on standard error instead of OutputDebugString.
export WINEQT_FORCE_STDERR_LOGGING=1
tw_timeout=${XYH_WIN_TIMEOUT:-120}

tw_cleanup() {
  local pid
  for pid in "${tw_pids[@]}"; do kill "$pid" 2>/dev/null; done
  wineserver -k 2>/dev/null
  if [ "${XYH_WIN_KEEP:-0}" = 1 ]; then echo "kept $tw_work"; else rm -rf "$tw_work"; fi
}
trap tw_cleanup EXIT

pass() { tw_passed=$((tw_passed + 1)); echo "PASS $*"; }
fail() { tw_failed=$((tw_failed + 1)); echo "FAIL $*"; }
# check NAME COMMAND...: one named check.
check() {
  local name=$1
  shift
  if "$@"; then pass "$name"; else fail "$name"; fi
}
finish() {
  echo "$tw_passed passed, $tw_failed failed"
  [ "$tw_failed" -eq 0 ] && [ "$tw_passed" -gt 0 ]
  exit $?
}

# wine_run PROGRAM ARGS...: a Windows program, bounded in time.
wine_run() { timeout "$tw_timeout" wine "$@"; }

# The prefix made once (wineboot), then the paths the installer uses.
wine_init() {
  timeout 300 wineboot -i >/dev/null 2>&1 || { echo "wineboot failed"; return 1; }
  wineserver -w
  # A Chinese Windows has its CJK fonts; wine otherwise depends on finding
  # the host's through fontconfig, and a prefix that misses them draws boxes.
  cp /usr/share/fonts/truetype/wqy/wqy-microhei.ttc "$WINEPREFIX/drive_c/windows/Fonts/"
  local_appdata=$(unix_path "$(win_env LOCALAPPDATA)")
  appdata=$(unix_path "$(win_env APPDATA)")
  profile=$(unix_path "$(win_env USERPROFILE)")
}
win_env() { wine cmd /c "echo %$1%" 2>/dev/null | tr -d '\r'; }
unix_path() { winepath -u "$1" 2>/dev/null; }
win_path() { winepath -w "$1" 2>/dev/null; }

# An X display with openbox, for the window: sets DISPLAY.
start_x() {
  local n
  for n in $(seq 71 99); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
  done
  Xvfb ":$n" -screen 0 1280x1000x24 -nolisten tcp >/dev/null 2>&1 &
  tw_pids+=($!)
  export DISPLAY=":$n"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.2; done
  openbox >/dev/null 2>&1 &
  tw_pids+=($!)
  sleep 1
}

# wait_for SECONDS COMMAND...: polls until the command succeeds. The words
# are expanded once, by the caller: what must be looked at again on every
# poll ($(...) above all) goes into a function.
wait_for() {
  local until=$((SECONDS + $1))
  shift
  while [ "$SECONDS" -lt "$until" ]; do
    "$@" && return 0
    sleep 0.5
  done
  return 1
}

# The installer of the packages folder given to a test.
find_setup() {
  setup=$(ls "$1"/xyh-*-win64-setup.exe 2>/dev/null | head -1)
  [ -n "$setup" ] || { echo "no xyh-*-win64-setup.exe in $1"; exit 1; }
  version=$(basename "$setup" | sed 's/^xyh-\(.*\)-win64-setup\.exe$/\1/')
}
