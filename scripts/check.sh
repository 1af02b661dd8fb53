#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
#   scripts/check.sh              normal build in build/
#   scripts/check.sh --sanitize   AddressSanitizer + UBSan build in build-asan/
set -euo pipefail
cd "$(dirname "$0")/.."

dir=build
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan
  flags=(-DCMAKE_BUILD_TYPE=Debug -DXYH_SANITIZE=ON -DXYH_BENCH=OFF)
fi

./scripts/deps.sh
./scripts/calendar-oracle.sh "$dir/calendar-oracle"
cmake -S . -B "$dir" "${flags[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" --output-on-failure -j"$(nproc)"
# A short libFuzzer run of the HTML query layer (clang); longer runs:
# scripts/fuzz.sh SECONDS.
if [ "$dir" = build ]; then
  ./scripts/fuzz.sh 10
fi
