#!/usr/bin/env bash
# Installs the independent Chinese calendar library that the solar-term test
# compares our months against, into a folder of the build tree:
#   scripts/calendar-oracle.sh build/calendar-oracle
# Test-only: nothing the program ships or runs uses it. Quick when present.
set -euo pipefail
dir=${1:-build/calendar-oracle}
version=1.7.7
if [ -f "$dir/node_modules/lunar-javascript/package.json" ] &&
   grep -q "\"version\": \"$version\"" "$dir/node_modules/lunar-javascript/package.json"; then
  exit 0
fi
mkdir -p "$dir"
cd "$dir"
npm install --no-audit --no-fund --silent "lunar-javascript@$version"
