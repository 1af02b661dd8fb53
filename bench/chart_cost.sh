#!/bin/sh
# What the whole chart adds to one cast, in instructions (callgrind), from
# the difference between 2000 and 1000 casts, so that start-up and the one
# reading of the 周易 text drop out.
#   bench/chart_cost.sh build/bin/bench_chart_cost
set -eu
bin=${1:-build/bin/bench_chart_cost}
count() {
  out=$(mktemp)
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$bin" "$1" "$2" 2>"$out" >/dev/null
  sed -n 's/.*Collected : *\([0-9]*\).*/\1/p' "$out"
  rm -f "$out"
}
cast=$(( ($(count 2000 cast) - $(count 1000 cast)) / 1000 ))
chart=$(( ($(count 2000 chart) - $(count 1000 chart)) / 1000 ))
echo "instructions per cast: $cast; with the whole chart: $chart"
echo "the chart adds $(( (chart - cast) * 1000 / cast / 10 )).$(( (chart - cast) * 1000 / cast % 10 )) %"
