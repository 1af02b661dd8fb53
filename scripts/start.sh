#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
if [ -x build/bin/xyh ]; then
  exec build/bin/xyh "$@"
fi
if [ $# -eq 0 ]; then
  set -- cast --number 58 --zodiac 子鼠
fi
exec build/bin/xyh-cli "$@"
