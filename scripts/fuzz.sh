#!/usr/bin/env bash
# libFuzzer runs of the selector parser, the HTML query layer, the history
# file reader, the update manifest, the config.ini reader and writer, the
# draws CSV import and the lines of cast --batch,
# built with clang, AddressSanitizer and UBSan in build-fuzz/ (preset fuzz).
#   scripts/fuzz.sh            10 seconds each (the test command runs this)
#   scripts/fuzz.sh 600        ten minutes each
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-10}"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)"
for target in selector html history manifest config draws batch; do
  work="build-fuzz/corpus-$target"
  mkdir -p "$work"
  cp -n fuzz/corpus/"$target"/* "$work"/ 2>/dev/null || true
  echo "fuzzing $target for ${seconds}s"
  rm -f build-fuzz/"$target"-crash-* build-fuzz/"$target"-leak-* build-fuzz/"$target"-timeout-*
  if ! build-fuzz/bin/fuzz_"$target" -max_total_time="$seconds" -max_len=8192 -timeout=10 \
      -artifact_prefix=build-fuzz/"$target"- -print_final_stats=1 "$work" > build-fuzz/"$target".log 2>&1; then
    tail -40 build-fuzz/"$target".log
    echo "fuzzing $target found a failure: see build-fuzz/$target-*"
    exit 1
  fi
  grep -E "stat::number_of_executed_units|Done" build-fuzz/"$target".log || true
done
