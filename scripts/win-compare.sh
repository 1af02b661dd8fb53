#!/usr/bin/env bash
# xyh-cli.exe under wine against the Linux xyh-cli on the same work, byte for
# byte: standard output, standard error and the exit code of every step, the
# home folders' paths replaced by HOME on both sides. The work: a few hundred
# casts (--json, --now) by every method in several zones, the history saved,
# listed, exported and imported, draws imported, checked, counted and
# played, and refusals. A draw's "stored" moment is when the step ran, so it
# is left out too. Each side's home is a folder whose name is Chinese
# and has a space.
#   scripts/win-compare.sh [LINUX_BIN [WIN_BUILD]]   (default build/bin, build-win)
# Ends with "N passed, N failed"; exits 1 when any step differs.
set -uo pipefail
cd "$(dirname "$0")/.."
lin=$(realpath "${1:-build/bin}")/xyh-cli
winbuild=$(realpath "${2:-build-win}")
wine_run=$winbuild/wine-run.sh
win=$winbuild/bin/xyh-cli.exe
for f in "$lin" "$wine_run" "$win"; do
  [ -e "$f" ] || { echo "win-compare: $f is missing: build both presets first" >&2; exit 2; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The same name on both sides; the Windows program reaches it through Z:.
mkdir -p "$work/lin/星衍 测试" "$work/win/星衍 测试" "$work/in"
lin_home="$work/lin/星衍 测试"
win_home="Z:${work//\//\\}\\win\\星衍 测试"
win_in="Z:${work//\//\\}\\in"
passed=0
failed=0

# One step on both sides: step NAME ZONE STDIN ARGS... where an argument's
# @HOME@ becomes the side's home and @IN@ the shared input folder.
step() {
  local name=$1 zone=$2 input=$3
  shift 3
  local l=() w=() a
  for a in "$@"; do
    l+=("$(printf '%s' "$a" | sed "s|@HOME@|$lin_home|g; s|@IN@|$work/in|g")")
    w+=("${a//@HOME@/$win_home}")
    w[-1]=${w[-1]//@IN@/$win_in}
  done
  TZ=$zone "$lin" "${l[@]}" <"$input" >"$work/l.out" 2>"$work/l.err"
  echo "exit $?" >>"$work/l.out"
  TZ=$zone "$wine_run" "$win" "${w[@]}" <"$input" >"$work/w.out" 2>"$work/w.err"
  echo "exit $?" >>"$work/w.out"
  # Wine itself now and then faults as a process starts or ends; such a run
  # says so in wine's own words and is tried once more, said in the log.
  if grep -q '^wine: ' "$work/w.err"; then
    echo "wine faulted on: $name (TZ=$zone), tried again"
    TZ=$zone "$wine_run" "$win" "${w[@]}" <"$input" >"$work/w.out" 2>"$work/w.err"
    echo "exit $?" >>"$work/w.out"
  fi
  # Paths differ by side only in their home and input folders.
  local stored='s/"stored" : "[^"]*"/"stored" : "WHEN"/'
  sed -i "s|$lin_home|HOME|g; s|$work/in|IN|g; $stored" "$work/l.out" "$work/l.err"
  local wh=${win_home//\\/\\\\} wi=${win_in//\\/\\\\}
  sed -i "s|$wh|HOME|g; s|$wi|IN|g; $stored" "$work/w.out" "$work/w.err"
  if cmp -s "$work/l.out" "$work/w.out" && cmp -s "$work/l.err" "$work/w.err"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "DIFFERS: $name (TZ=$zone): $*"
    diff <(cat "$work/l.out" "$work/l.err") <(cat "$work/w.out" "$work/w.err") | head -n 12
  fi
}

none=/dev/null
# Casts in batches (one process each) and on their own: every method, moments
# from 2008 on, away from the daylight-saving rules Windows does not keep.
batch=$work/in/casts.txt
: >"$batch"
for i in $(seq 0 59); do
  day=$(printf '20%02d-%02d-%02d %02d:%02d:%02d' $((8 + i % 18)) $((1 + i % 12)) $((1 + i * 7 % 28)) \
    $((i * 5 % 24)) $((i * 13 % 60)) $((i * 31 % 60)))
  z=$((1 + i % 12))
  lines=(O 1 0 X)
  hand=""
  for k in 0 1 2 3 4 5; do hand+=${lines[$(((i + k * k) % 4))]}; done
  {
    echo "--number $((i * 7919 % 100000 + 1)) --zodiac $z --now \"$day\""
    echo "--time now --zodiac $z --now \"$day.$((i * 37 % 1000))\""
    echo "--time draw --lottery $((i % 2 == 0 ? 101 : (i % 3 == 0 ? 100 : 106))) --zodiac $z --now \"$day\""
    echo "--lines $hand --at \"$day\" --zodiac $z --now \"$day\""
    echo "--up $((i % 2))$((i / 2 % 2))$((i / 4 % 2)) --down $((i / 8 % 2))1$((i % 3 % 2)) --dong $((i % 3 - 1)),0,1,0,0,$((i % 2)) --zodiac $z --now \"$day\""
  } >>"$batch"
done
for zone in Asia/Shanghai America/New_York Europe/London Asia/Tokyo UTC Australia/Adelaide; do
  step "cast --batch (300 casts)" "$zone" "$batch" cast --batch
  step "cast --number" "$zone" $none cast --number 58 --zodiac 子鼠 --now "2024-06-01 10:00:00" --json
  step "cast --time draw" "$zone" $none cast --time draw --zodiac 寅 --now "2026-03-05 21:30:00" --json
  step "cast text" "$zone" $none cast --lines O01X10 --at "2019-02-04 23:59:59" --zodiac 12 --now "2019-02-05 00:00:00"
done

# The history: saved, listed, shown, exported and imported again.
sh=Asia/Shanghai
step "save 1" $sh $none cast --number 58 --zodiac 1 --now "2024-06-01 10:00:00" --save 甲 --note "第一次 \"引号\"" --home @HOME@
step "save 2" $sh $none cast --lines O01X10 --at "2025-01-02 03:04:05" --zodiac 寅虎 --now "2025-01-02 03:04:05" --save "乙 丙" --home @HOME@ --json
step "save 3" $sh $none cast --time draw --zodiac 5 --now "2026-12-01 08:00:00" --save 丁 --home @HOME@
step "history list" $sh $none history list --home @HOME@
step "history list --json" $sh $none history list --json --home @HOME@
step "history show" $sh $none history show 2 --json --home @HOME@
step "history export csv" $sh $none history export --home @HOME@
step "history export json" $sh $none history export --format json --output "@IN@/h.json" --home @HOME@
step "history export file" $sh $none history export --output "@IN@/h.csv" --home @HOME@
step "history delete" $sh $none history delete 1 --home @HOME@
step "history import csv" $sh $none history import "@IN@/h.csv" --home @HOME@
step "history import json" $sh "$work/in/h.json" history import - --home @HOME@
step "history list again" $sh $none history list --home @HOME@

# Draws: imported, listed, gaps, checked, counted, played.
draws=$work/in/ssq.csv
{
  echo "issue,date,red,blue"
  for n in $(seq 1 40); do
    printf '2024%03d,2024-%02d-%02d,%02d %02d %02d %02d %02d %02d,%02d\n' "$n" $((1 + n / 14)) $((1 + n * 2 % 27)) \
      $((1 + n % 5)) $((7 + n % 4)) $((12 + n % 3)) $((18 + n % 5)) $((24 + n % 3)) $((28 + n % 6)) $((1 + n % 16))
  done
} >"$draws"
step "draws import" $sh $none draws import "@IN@/ssq.csv" --home @HOME@
step "draws import again" $sh "$draws" draws import - --home @HOME@
step "draws list" $sh $none draws list --json --home @HOME@
step "draws gaps" $sh $none draws gaps --home @HOME@
step "draws export" $sh $none draws export --home @HOME@
step "draws add" $sh $none draws add --issue 2024050 --date 2024-05-01 --red "3 9 14 20 27 31" --blue 8 --home @HOME@
step "check ticket" $sh $none check --red "1 7 12 18 24 28" --blue 2 --issue 2024001 --json --home @HOME@
step "check saved" $sh $none check --home @HOME@
step "stats" $sh $none stats --json --home @HOME@
step "stats last" $sh $none stats --last 10 --home @HOME@
step "play add" $sh $none play add 2 --red "1 2 3 4 5 6 7" --blue "1 2" --multiple 2 --home @HOME@
step "play add dan" $sh $none play add 2 --dan "1 2" --red "3 4 5 6 7 8" --blue 9 --home @HOME@
step "play list" $sh $none play list --json --home @HOME@
step "play delete" $sh $none play delete 1 --home @HOME@

# Refusals and their exit codes.
printf 'issue,date,red,blue\n2024001,2024-01-03,1 2 3,4\n' >"$work/in/bad.csv"
printf 'not a history\n' >"$work/in/bad.txt"
step "no command" $sh $none
step "unknown command" $sh $none frobnicate
step "no zodiac" $sh $none cast --number 58 --now "2024-06-01 10:00:00"
step "bad zodiac" $sh $none cast --number 58 --zodiac 13
step "bad number" $sh $none cast --number 5x8 --zodiac 1
step "bad lines" $sh $none cast --lines O01X1 --zodiac 1
step "bad now" $sh $none cast --number 1 --zodiac 1 --now "2024-13-01 00:00:00"
step "note without save" $sh $none cast --number 1 --zodiac 1 --note x
step "no such cast" $sh $none history show 99 --home @HOME@
step "bad import" $sh $none history import "@IN@/bad.txt" --home @HOME@
step "missing import" $sh $none history import "@IN@/none.csv" --home @HOME@
step "folder import" $sh $none history import "@IN@" --home @HOME@
step "bad draws" $sh $none draws import "@IN@/bad.csv" --home @HOME@
step "bad lottery" $sh $none draws list --lottery 999 --home @HOME@
step "export into a folder" $sh $none history export --output "@IN@" --home @HOME@
step "bad batch line" $sh "$work/in/bad.txt" cast --batch
step "play refused" $sh $none play add 2 --red "1 2 3" --blue 1 --home @HOME@

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
