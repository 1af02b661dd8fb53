#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. The builds are the
# presets of CMakePresets.json.
#   scripts/check.sh              preset default in build/; then preset core in
#                                 build-core/ (no Qt: the core, the command line
#                                 and their tests, so they stay buildable without
#                                 the window); then the format and clang-tidy
#                                 checks and a short fuzz run
#   scripts/check.sh --sanitize   preset asan (AddressSanitizer + UBSan) in build-asan/
#   scripts/check.sh --tsan       preset tsan: the suites that start threads or
#                                 servers under ThreadSanitizer, in build-tsan/;
#                                 without Cli.HostilePagesKeepADrawRunSmall (its
#                                 memory bound does not allow for TSan's shadow
#                                 memory) and HtmlShape.TheTreeSizeAndAttributes-
#                                 AreBounded (one thread, too slow under TSan);
#                                 suppressions in tests/tsan.supp
set -euo pipefail
cd "$(dirname "$0")/.."

case "${1:-}" in
  "") preset=default dir=build ;;
  --sanitize) preset=asan dir=build-asan ;;
  --tsan) preset=tsan dir=build-tsan ;;
  *) echo "usage: scripts/check.sh [--sanitize | --tsan]" >&2; exit 2 ;;
esac

./scripts/deps.sh
# The solar-term test's calendar library; the tsan preset does not run it.
if [ "$preset" != tsan ]; then
  ./scripts/calendar-oracle.sh "$dir/calendar-oracle"
fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j"$(nproc)"
ctest --preset "$preset" -j"$(nproc)"
if [ "$preset" = default ]; then
  cmake --preset core >/dev/null
  cmake --build --preset core -j"$(nproc)"
  ctest --preset core -j"$(nproc)"
  ./scripts/format.sh --check
  ./scripts/tidy.sh
  # A short libFuzzer run of the parsers (clang); longer runs:
  # scripts/fuzz.sh SECONDS.
  ./scripts/fuzz.sh 10
fi
