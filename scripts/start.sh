#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# Only the two programs and what they load (the chart module, the help):
# the tests and benchmarks are for ./scripts/check.sh, and building them
# would keep a first start waiting a quarter of an hour on two cores.
targets=(--target xyh-cli)
if grep -q '^XYH_GUI:BOOL=ON' build/CMakeCache.txt; then targets+=(--target xyh); fi
cmake --build build -j"$(nproc)" "${targets[@]}"
# The user's history lives in the per-user data folder, as for an installed
# copy, not in the build tree: rm -rf build or git clean -xfd loses no saved
# cast. An XYH_HOME already set (or --home) still wins.
export XYH_HOME="${XYH_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/星衍推号}"
if [ -x build/bin/xyh ]; then
  exec build/bin/xyh "$@"
fi
if [ $# -eq 0 ]; then
  set -- cast --number 58 --zodiac 子鼠
fi
exec build/bin/xyh-cli "$@"
