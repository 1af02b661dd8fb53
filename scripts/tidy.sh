#!/usr/bin/env bash
# clang-tidy (checks in .clang-tidy) over our sources, with the compile
# commands of a configured build; fails on any finding.
#   scripts/tidy.sh           uses build/ (preset default)
#   scripts/tidy.sh DIR       uses DIR/compile_commands.json
#   scripts/tidy.sh build-win the Windows files (*_win.cpp, Win32.cpp) of the
#                             windows preset, read by clang as mingw-w64 code
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
if [ ! -f "$dir/compile_commands.json" ]; then
  cmake --preset default >/dev/null
fi
# Only our own files, not the moc and resource files the build generates.
top=$(pwd)
files="^$top/(bench|cli|derive|draws|engine|fuzz|history|net|platform|shell|tests|ui|update)/"
extra=()
if grep -q mingw32 "$dir/compile_commands.json"; then
  # The rest is the same code the Linux build checks. clang finds mingw-w64's
  # C headers by its target, the C++ ones of the posix-thread gcc by hand.
  files="${files}.*(_win|/Win32)\.cpp\$"
  cxx=$(ls -d /usr/lib/gcc/x86_64-w64-mingw32/*-posix/include/c++ | tail -1)
  extra=(-extra-arg=--target=x86_64-w64-mingw32 -extra-arg=-isystem"$cxx"
    -extra-arg=-isystem"$cxx/x86_64-w64-mingw32" -extra-arg=-isystem"$cxx/backward")
fi
rc=0
run-clang-tidy -quiet -p "$dir" -j"$(nproc)" "${extra[@]}" "$files" \
  > "$dir/clang-tidy.log" 2>&1 || rc=$?
# run-clang-tidy colours its output; the findings are read without colour.
findings=$(sed 's/\x1b\[[0-9;]*m//g' "$dir/clang-tidy.log" | grep -E "^/.*: (warning|error): " | sort -u || true)
if [ "$rc" -ne 0 ] || [ -n "$findings" ]; then
  [ -n "$findings" ] && echo "$findings"
  echo "clang-tidy failed (whole output in $dir/clang-tidy.log)" >&2
  exit 1
fi
