#!/usr/bin/env bash
# Builds the programs and the end-to-end harness for Windows and runs the
# benchmarks under Wine: how soon a locked window is hidden after it comes to
# the front (with the foreground-change hook, and with the 500 ms timer
# alone), what the idle engine costs, how long pmpro takes to start, what
# pmpstart costs while its prompt waits, and how soon it closes a Task
# Manager window. Figures are printed, not judged.
#   PMP_BUILD_DIR   the Windows build to use (default: build/windows)
#   PMP_IDLE_SECONDS  how long bench-idle watches (default: 30)
#   PMP_STARTUP_CPU_SECONDS  how long bench-startup-cpu watches (default: 10)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${PMP_BUILD_DIR:-build/windows}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine-exec.sh" >/dev/null
cmake --build "$build" -j "$(nproc)" --target pmpro pmpstart pmharness >/dev/null

export PMP_WINEPREFIX=${PMP_WINEPREFIX:-$root/$build/wineprefix}
source scripts/wine-env.sh
trap pmp_stop_wine EXIT
pmp_start_display
pmp_init_prefix
pmp_start_wineserver

harness="$build/bin/pmharness.exe"
engine="$root/$build/bin/pmpro.exe"
locker="$root/$build/bin/pmpstart.exe"
status=0
run() {
  local log
  log=$(mktemp)
  if ! "$pmp_wine" "$harness" "$@" >"$log" 2>&1; then
    status=1
    cat "$log"
  fi
  grep '^bench-' "$log" || true
  rm -f "$log"
}
echo "== bench-latency"
run bench-latency "$engine"
run bench-latency "$engine" --no-foreground-hook
echo "== bench-idle"
run bench-idle "$engine" --seconds "${PMP_IDLE_SECONDS:-30}"
echo "== bench-startup-time"
run bench-startup-time "$engine"
echo "== bench-startup-cpu"
run bench-startup-cpu "$locker" --seconds "${PMP_STARTUP_CPU_SECONDS:-10}"
run bench-startup-cpu "$locker" --seconds "${PMP_STARTUP_CPU_SECONDS:-10}" --no-foreground-hook
echo "== bench-taskmgr"
run bench-taskmgr "$locker"
exit $status
