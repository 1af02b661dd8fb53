#!/usr/bin/env bash
# Prints our C++ sources, one a line, relative to the top of the tree: the
# files git knows, or in a tree without git the files under our folders.
set -euo pipefail
cd "$(dirname "$0")/.."
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files '*.cpp' '*.h'
else
  find bench cli derive draws engine fuzz history net platform resources shell tests ui update \
    \( -name '*.cpp' -o -name '*.h' \) | sort
fi
