#!/usr/bin/env bash
# The Windows part of CI, after scripts/check.sh: installs what is missing,
# builds the windows preset and both packages (scripts/windows.sh), runs the
# tests under wine, and ends with the sum of every check:
#   the test programs of the build under wine (ctest --preset windows),
#   scripts/win-compare.sh           xyh-cli.exe and the Linux xyh-cli (of
#                                    check.sh's build/) agree byte for byte
#   tests/windows/installer_test.sh  the installer: install, update, uninstall
#   tests/windows/window_test.sh     the installed window: a cast by clicks,
#                                    saved, the help in the browser, and the
#                                    second start
#   scripts/tidy.sh build-win        clang-tidy over the Windows files
#   tests/windows/updater_test.sh    the self-updater against a loopback server:
#                                    download, check, the installer replacing
#                                    the program
# The SDK: $XYH_WIN_SDK (see scripts/windows.sh). Screenshots of the window
# tests go to build-win/shots/.
set -uo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
./scripts/deps-windows.sh || exit 1
./scripts/windows.sh || exit 1

passed=0
failed=0
# count LOG: adds a run's closing "N passed, N failed" (or ctest's) to the
# sum; fails when the log has neither.
count() {
  local p f line
  line=$(grep -E '^[0-9]+ passed, [0-9]+ failed' "$1" | tail -1)
  if [ -n "$line" ]; then
    p=${line%% passed*}
    f=${line#*, }
    f=${f%% failed*}
  else
    line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$1" | tail -1)
    [ -n "$line" ] || return 1
    f=$(sed -E 's/.*tests passed, ([0-9]+) tests failed.*/\1/' <<<"$line")
    p=$(($(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line") - f))
  fi
  passed=$((passed + p))
  failed=$((failed + f))
}
# run NAME COMMAND...: one suite, its output shown and counted; a suite that
# fails without saying how many of its checks failed counts as one failure.
run() {
  local name=$1 log rc
  shift
  log=$(mktemp)
  echo "== $name"
  "$@" 2>&1 | tee "$log"
  rc=${PIPESTATUS[0]}
  local before=$failed
  if ! count "$log"; then
    # A check that says no numbers (clang-tidy) is one check.
    if [ "$rc" -eq 0 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
  fi
  [ "$rc" -ne 0 ] && [ "$failed" -eq "$before" ] && failed=$((failed + 1))
  rm -f "$log"
  echo "== $name: exit $rc, $((SECONDS - started)) s since the start"
}

# A fault of wine's own (seen: "wine client error: recvmsg" as one program
# starts while the wine server of the one before goes away) fails a test
# program for nothing of its own: it is tried again once, and a test that
# fails twice fails. (Keeping one server up with wineserver -p made the
# first program of the run hang at its exit instead.)
if ctest --list-presets 2>/dev/null | grep -q '"windows"'; then
  run "test programs under wine" ctest --preset windows -j2 --timeout 300 --repeat until-pass:2
else
  run "test programs under wine" ctest --test-dir build-win -j2 --timeout 300 --repeat until-pass:2
fi
run "clang-tidy of the Windows files" scripts/tidy.sh build-win
run "xyh-cli.exe against the Linux xyh-cli" scripts/win-compare.sh build/bin build-win
run "installer" tests/windows/installer_test.sh build-win/packages
run "window" tests/windows/window_test.sh build-win/packages build-win/shots
run "self-updater" tests/windows/updater_test.sh build-win/packages build-win/shots

echo "The Windows part took $((SECONDS - started)) s; packages in build-win/packages/"
echo "windows: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
