#!/usr/bin/env bash
# clang-tidy (checks in .clang-tidy) over our sources, with the compile
# commands of a configured build; fails on any finding.
#   scripts/tidy.sh           uses build/ (preset default)
#   scripts/tidy.sh DIR       uses DIR/compile_commands.json
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
if [ ! -f "$dir/compile_commands.json" ]; then
  cmake --preset default >/dev/null
fi
# Only our own files, not the moc and resource files the build generates.
top=$(pwd)
rc=0
run-clang-tidy -quiet -p "$dir" -j"$(nproc)" \
  "^$top/(bench|cli|derive|draws|engine|fuzz|history|net|platform|shell|tests|ui|update)/" \
  > "$dir/clang-tidy.log" 2>&1 || rc=$?
# run-clang-tidy colours its output; the findings are read without colour.
findings=$(sed 's/\x1b\[[0-9;]*m//g' "$dir/clang-tidy.log" | grep -E "^/.*: (warning|error): " | sort -u || true)
if [ "$rc" -ne 0 ] || [ -n "$findings" ]; then
  [ -n "$findings" ] && echo "$findings"
  echo "clang-tidy failed (whole output in $dir/clang-tidy.log)" >&2
  exit 1
fi
