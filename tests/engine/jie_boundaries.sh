#!/usr/bin/env bash
# CTest: the 节 of 1900-2100 from the independent calendar library, checked
# by the chart test binary.   jie_boundaries.sh ORACLE_DIR TEST_BINARY
set -euo pipefail
oracle=$1
binary=$2
if [ ! -d "$oracle/node_modules/lunar-javascript" ]; then
  echo "The calendar library is missing: run scripts/calendar-oracle.sh $oracle" >&2
  exit 1
fi
node "$(dirname "$0")/jie_boundaries.js" "$oracle" "$oracle/jie.tsv"
XYH_JIE_BOUNDARIES="$oracle/jie.tsv" exec "$binary" --gtest_filter='SolarTerms.EveryJie*'
