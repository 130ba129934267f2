#!/usr/bin/env bash
# Builds the programs and the end-to-end harness for Windows and runs the
# benchmarks under Wine: how soon a locked window is hidden after it comes to
# the front (with the foreground-change hook, and with the 500 ms timer
# alone), what the idle engine costs (as under Wine, with the foreground
# poll; as on Windows, where the poll stops; and with the timer alone), how
# long pmpro takes to start (to its main window and to its tray icon), what
# pmpstart costs while its prompt waits, how soon it closes a Task Manager
# window, and how long Apply takes through the service (installed from the
# build for it). Figures are printed, not judged.
#   scripts/bench.sh --report   also measures the watch tick natively (its own
#                               Release build without sanitizers, build/bench),
#                               takes the sizes of the programs, and writes
#                               everything to docs/performance.md
#   scripts/bench.sh --only NAME  runs only the benchmark NAME (bench-latency,
#                               bench-idle, bench-startup-time, bench-startup-cpu,
#                               bench-taskmgr, bench-service-apply,
#                               bench-engine-restart) and writes no report
#   PMP_BUILD_DIR   the Windows build to use (default: build/windows)
#   PMP_IDLE_SECONDS  how long bench-idle watches (default: 30)
#   PMP_STARTUP_CPU_SECONDS  how long bench-startup-cpu watches (default: 30; the
#                    CPU time comes in 10 ms steps)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${PMP_BUILD_DIR:-build/windows}
report=0
only=
case "${1:-}" in
  --report) report=1 ;;
  --only) only=${2:?usage: scripts/bench.sh --only NAME} ;;
  "") ;;
  *) echo "usage: scripts/bench.sh [--report | --only NAME]" >&2; exit 2 ;;
esac
case "$only" in
  "" | bench-latency | bench-idle | bench-startup-time | bench-startup-cpu | bench-taskmgr | \
    bench-service-apply | bench-engine-restart) ;;
  *) echo "scripts/bench.sh: no benchmark named $only" >&2; exit 2 ;;
esac
# Whether the benchmark named is to run now.
wanted() {
  [ -z "$only" ] || [ "$only" = "$1" ]
}

scripts/setup.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine-exec.sh" >/dev/null
cmake --build "$build" -j "$(nproc)" --target pmpro pmpstart pmpsvc pmharness >/dev/null

gathered=$(mktemp -d)
: >"$gathered/wine.txt"
load_before=$(cut -d' ' -f1 /proc/loadavg)

if [ "$report" = 1 ]; then
  echo "== watch tick (native, Release, no sanitizers)"
  cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DPMP_BENCHMARKS=ON \
    -DPMP_SANITIZE=OFF >/dev/null
  cmake --build build/bench -j "$(nproc)" --target pm_bench >/dev/null
  build/bench/bin/pm_bench --benchmark_filter=WatchTick --benchmark_repetitions=20 \
    --benchmark_min_time=0.1 --benchmark_format=json >"$gathered/tick.json"
fi

export PMP_WINEPREFIX=${PMP_WINEPREFIX:-$root/$build/wineprefix}
source scripts/wine-env.sh
cleanup() {
  pmp_stop_wine
  rm -rf "$gathered"
}
trap cleanup EXIT
pmp_start_display
pmp_init_prefix
pmp_start_wineserver

harness="$build/bin/pmharness.exe"
engine="$root/$build/bin/pmpro.exe"
locker="$root/$build/bin/pmpstart.exe"
status=0
run() {
  local log
  cut -d' ' -f1 /proc/loadavg >>"$gathered/load.txt"
  log=$(mktemp)
  if ! "$pmp_wine" "$harness" "$@" >"$log" 2>&1; then
    status=1
    cat "$log"
    echo "benchmark failed: $*" >>"$gathered/wine.txt"
  fi
  grep '^bench-' "$log" | tee -a "$gathered/wine.txt" || true
  rm -f "$log"
}
if wanted bench-latency; then
  echo "== bench-latency"
  run bench-latency "$engine"
  run bench-latency "$engine" --no-foreground-hook
  run bench-latency "$engine" --show-inactive
  run bench-latency "$engine" --show-inactive --no-foreground-hook
  run bench-latency "$engine" --program-item
  run bench-latency "$engine" --program-item --no-foreground-hook
fi
if wanted bench-idle; then
  echo "== bench-idle"
  run bench-idle "$engine" --seconds "${PMP_IDLE_SECONDS:-30}"
  # As on Windows, where the foreground hook's first report of another
  # program's window stops the poll.
  run bench-idle "$engine" --seconds "${PMP_IDLE_SECONDS:-30}" --no-foreground-poll
  run bench-idle "$engine" --seconds "${PMP_IDLE_SECONDS:-30}" --no-foreground-hook
fi
if wanted bench-startup-time; then
  echo "== bench-startup-time"
  run bench-startup-time "$engine"
fi
if wanted bench-startup-cpu; then
  echo "== bench-startup-cpu"
  run bench-startup-cpu "$locker" --seconds "${PMP_STARTUP_CPU_SECONDS:-30}"
  run bench-startup-cpu "$locker" --seconds "${PMP_STARTUP_CPU_SECONDS:-30}" --no-foreground-hook
fi
if wanted bench-taskmgr; then
  echo "== bench-taskmgr"
  run bench-taskmgr "$locker"
fi
if wanted bench-service-apply || wanted bench-engine-restart; then
  # The service of the build's own folder, for these benchmarks only; the
  # engine saves through it once it is installed.
  "$pmp_wine" "$build/bin/pmpsvc.exe" /install || echo "benchmark failed: the service did not install" >>"$gathered/wine.txt"
  if wanted bench-service-apply; then
    echo "== bench-service-apply"
    run bench-service-apply "$engine" --standard-user
  fi
  if wanted bench-engine-restart; then
    echo "== bench-engine-restart"
    run bench-engine-restart "$engine"
  fi
  "$pmp_wine" "$build/bin/pmpsvc.exe" /uninstall || true
fi

if [ "$report" = 1 ]; then
  for file in "$build/bin/pmpro.exe" "$build/bin/pmpstart.exe" "$build/bin/pmpsvc.exe" \
    "$build"/PelmoraPro-*-setup.exe; do
    if [ -f "$file" ]; then echo "$(basename "$file") $(stat -c %s "$file")"; fi
  done >"$gathered/sizes.txt"
  display="Xvfb $DISPLAY (virtual, 1280x1024x24)"
  [ -z "$pmp_started_xvfb" ] && display="the user's display $DISPLAY"
  {
    echo "cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
    echo "cores=$(nproc)"
    echo "kernel=$(uname -sr)"
    echo "wine=$("$pmp_wine" --version 2>/dev/null || echo unknown)"
    echo "display=$display"
    echo "date=$(date -u '+%Y-%m-%d %H:%M UTC')"
    echo "load_before=$load_before"
    echo "load_after=$(cut -d' ' -f1 /proc/loadavg)"
    echo "load_peak=$(sort -g "$gathered/load.txt" | tail -1)"
  } >"$gathered/machine.txt"
  touch "$gathered/tick.json"
  python3 scripts/bench_report.py docs/performance.md "$gathered/wine.txt" \
    "$gathered/tick.json" "$gathered/sizes.txt" "$gathered/machine.txt"
  echo "== written: docs/performance.md"
fi
exit $status
