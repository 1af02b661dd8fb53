#!/bin/sh
# Start-up of xyh-cli.exe cast --json under wine against the least a
# mingw C++ program costs there (bench_hello.exe, same compiler and flags),
# as one ratio; the goal is the same as on Linux (<= 2).
#   bench/wine_startup.sh [WIN_BUILD]   (default build-win; RUNS=n to change runs)
# Both run through the build's wine-run.sh with a wine server kept up, so
# that neither pays for starting wine itself.
set -eu
build=$(realpath "${1:-build-win}")
runs=${RUNS:-40}
run=$build/wine-run.sh
tmp=$(mktemp -d)
export WINEPREFIX="${XYH_WINEPREFIX:-$build/wineprefix}"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$tmp"' EXIT
TZ=${TZ:-Asia/Shanghai}
export TZ
"$run" "$build/bin/bench_hello.exe" >/dev/null   # the prefix made, the server up
wineserver -p 60 || true
hyperfine -N --warmup 3 --runs "$runs" --export-json "$tmp/wine.json" \
  "$run $build/bin/bench_hello.exe" \
  "$run $build/bin/xyh-cli.exe cast --number 58 --zodiac 1 --now '2024-06-01 10:00:00' --json" \
  >/dev/null 2>&1
python3 - "$tmp/wine.json" <<'PY'
import json, sys
hello, cast = json.load(open(sys.argv[1]))["results"]
print(f"hello.exe under wine          median {hello['median']*1e3:.1f} ms")
print(f"xyh-cli.exe cast --json       median {cast['median']*1e3:.1f} ms"
      f" = {cast['median'] / hello['median']:.2f} x hello (goal <= 2)")
PY
