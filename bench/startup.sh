#!/bin/sh
# Start-up cost of the programs, whole processes, against their yardsticks:
#   xyh-cli cast --json       against bench_hello (a C++ hello, same flags)
#   the window, start to shown against minimal_window --sized (CPU, peak memory)
#   xyh-cli cast --batch      per cast, against bench_cli's in-process cast
# and the number of shared libraries each program has loaded when it is up.
# usage: bench/startup.sh [BIN_DIR]   (default build/bin; RUNS=n to change runs)
set -eu
bin=${1:-build/bin}
runs=${RUNS:-200}
hello=${HELLO:-$bin/bench_hello}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} TZ=${TZ:-Asia/Shanghai}
cast="$bin/xyh-cli cast --number 58 --zodiac 1 --now '2024-06-01 10:00:00' --json"

# hyperfine's figures of one command: median wall, mean user + system (ms).
figures() {  # json file, index
  python3 - "$1" "$2" <<'PY'
import json, sys
r = json.load(open(sys.argv[1]))["results"][int(sys.argv[2])]
print(f"{r['median']*1e3:.3f} {(r['user'] + r['system'])*1e3:.3f}")
PY
}
ratio() { python3 -c "import sys; print(f'{float(sys.argv[1]) / float(sys.argv[2]):.2f}')" "$1" "$2"; }

# Shared libraries loaded by the end of a run (dlopen'ed ones included).
libraries() { env LD_DEBUG=files "$@" 2>&1 >/dev/null | grep -c 'calling init:' || true; }
has_curl() { if env LD_DEBUG=files "$@" 2>&1 >/dev/null | grep -q 'calling init:.*libcurl'; then echo yes; else echo no; fi; }
# Median peak resident memory in kB over 15 runs.
peak_kb() {
  for _ in $(seq 15); do /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1; done | sort -n | sed -n 8p
}

echo "== command line"
hyperfine -N --warmup 20 --runs "$runs" --export-json "$tmp/cli.json" \
  "$hello" "$bin/xyh-cli --version" "$cast" >/dev/null 2>&1
set -- $(figures "$tmp/cli.json" 0); hello_ms=$1; hello_cpu=$2
set -- $(figures "$tmp/cli.json" 1); version_ms=$1; version_cpu=$2
set -- $(figures "$tmp/cli.json" 2); cast_ms=$1; cast_cpu=$2
echo "hello               median ${hello_ms} ms, CPU ${hello_cpu} ms"
echo "xyh-cli --version   median ${version_ms} ms, CPU ${version_cpu} ms"
echo "xyh-cli cast --json median ${cast_ms} ms = $(ratio "$cast_ms" "$hello_ms") x hello (goal <= 2), CPU ${cast_cpu} ms = $(ratio "$cast_cpu" "$hello_cpu") x"
echo "libraries: hello $(libraries "$hello"), xyh-cli cast $(libraries "$bin/xyh-cli" cast --number 58 --zodiac 1 --json), libcurl mapped: $(has_curl "$bin/xyh-cli" cast --number 58 --zodiac 1 --json)"

echo "== window, start to shown"
hyperfine -N --warmup 5 --runs $((runs / 4)) --export-json "$tmp/win.json" \
  "$bin/minimal_window --sized" "$bin/startup_probe" "$bin/startup_probe --cast" >/dev/null 2>&1
set -- $(figures "$tmp/win.json" 0); min_cpu=$2
set -- $(figures "$tmp/win.json" 1); probe_cpu=$2
set -- $(figures "$tmp/win.json" 2); cast_cpu=$2
min_kb=$(peak_kb "$bin/minimal_window" --sized)
probe_kb=$(peak_kb "$bin/startup_probe")
cast_kb=$(peak_kb "$bin/startup_probe" --cast)
echo "minimal_window --sized   CPU ${min_cpu} ms, peak ${min_kb} kB, libraries $(libraries "$bin/minimal_window" --sized)"
echo "startup_probe            CPU ${probe_cpu} ms = $(ratio "$probe_cpu" "$min_cpu") x (goal <= 1.25), peak ${probe_kb} kB = $(ratio "$probe_kb" "$min_kb") x (goal <= 1.2), libraries $(libraries "$bin/startup_probe"), libcurl mapped: $(has_curl "$bin/startup_probe")"
echo "startup_probe --cast     CPU ${cast_cpu} ms = $(ratio "$cast_cpu" "$min_cpu") x, peak ${cast_kb} kB = $(ratio "$cast_kb" "$min_kb") x"
if [ -x "$bin/xyh" ]; then echo "xyh --version libraries $(libraries "$bin/xyh" --version)"; fi

if "$bin/xyh-cli" help cast | grep -q -- --batch; then
  echo "== xyh-cli cast --batch, 100 000 casts"
  python3 - "$tmp/casts.txt" <<'PY'
import sys
with open(sys.argv[1], "w") as f:
    for i in range(100000):
        f.write(f"--number {1000 + i} --zodiac {i % 12 + 1} --now '2024-06-01 10:00:00'\n")
PY
  hyperfine --warmup 1 --runs 3 --export-json "$tmp/batch.json" \
    "$bin/xyh-cli cast --batch < $tmp/casts.txt > /dev/null" >/dev/null 2>&1
  set -- $(figures "$tmp/batch.json" 0); batch_ms=$1; batch_cpu=$2
  # CPU time: the figure least disturbed by other work on the machine.
  per_us=$(python3 -c "import sys; print(f'{(float(sys.argv[1]) - float(sys.argv[2])) * 1000 / 100000:.2f}')" "$batch_cpu" "$cast_cpu")
  echo "batch median ${batch_ms} ms, CPU ${batch_cpu} ms: ${per_us} us CPU per cast"
  if [ -x "$bin/bench_cli" ]; then
    inproc=$("$bin/bench_cli" --benchmark_filter=BM_CastToJsonLine --benchmark_format=json 2>/dev/null |
      python3 -c "import json,sys; b=json.load(sys.stdin)['benchmarks'][0]; print(f\"{b['cpu_time'] / (1000 if b['time_unit']=='ns' else 1):.2f}\")")
    echo "in-process cast to JSON line ${inproc} us CPU; batch per cast = $(ratio "$per_us" "$inproc") x (goal <= 3)"
  fi
fi
