#!/usr/bin/env bash
# scripts/start.sh keeps the user's history in the per-user data folder, not
# in the build tree. Runs the script in a copy of the tree whose build step
# and programs are stand-ins that report the program directory they get.
#   start_test.sh SOURCE_DIR
set -euo pipefail
src="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*"; exit 1; }

mkdir -p "$work/tree/scripts" "$work/tree/build/bin" "$work/stubs" "$work/home"
cp "$src/scripts/start.sh" "$work/tree/scripts/"
printf '#!/bin/sh\nexit 0\n' >"$work/tree/scripts/deps.sh"
printf '#!/bin/sh\necho "$*" >>"%s"\n' "$work/cmake.log" >"$work/stubs/cmake"
printf 'XYH_GUI:BOOL=ON\n' >"$work/tree/build/CMakeCache.txt"
printf '#!/bin/sh\necho "$XYH_HOME"\n' >"$work/tree/build/bin/xyh"
chmod +x "$work/tree/scripts/deps.sh" "$work/stubs/cmake" "$work/tree/build/bin/xyh"

run() { env -u XYH_HOME -u XDG_DATA_HOME HOME="$work/home" PATH="$work/stubs:$PATH" "$@" "$work/tree/scripts/start.sh"; }

got="$(run)"
[ "$got" = "$work/home/.local/share/星衍推号" ] || fail "default home: '$got'"
case "$got" in "$work/tree"*) fail "the history would live in the build tree" ;; esac
got="$(run XDG_DATA_HOME="$work/xdg")"
[ "$got" = "$work/xdg/星衍推号" ] || fail "XDG_DATA_HOME: '$got'"
got="$(run XYH_HOME="$work/mine")"
[ "$got" = "$work/mine" ] || fail "XYH_HOME given: '$got'"
# The first start builds the two programs, never the tests.
grep -q -- '--build build .*--target xyh-cli --target xyh$' "$work/cmake.log" ||
  fail "build step: $(grep -- --build "$work/cmake.log" | head -1)"
grep -- --build "$work/cmake.log" | grep -qv -- --target && fail "a build of every target"
echo "start.sh ok"
