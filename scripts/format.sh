#!/usr/bin/env bash
# clang-format over our C++ sources with the tree's .clang-format.
#   scripts/format.sh           reformats the files in place
#   scripts/format.sh --check   changes nothing; fails when a file is not formatted
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(./scripts/sources.sh)
if [ "${1:-}" = --check ]; then
  if ! clang-format --dry-run --Werror "${files[@]}"; then
    echo "unformatted code: run scripts/format.sh" >&2
    exit 1
  fi
else
  clang-format -i "${files[@]}"
fi
