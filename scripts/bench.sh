#!/usr/bin/env bash
# Builds the engine and the end-to-end harness for Windows and runs the
# benchmarks under Wine: how soon a locked window is hidden after it comes to
# the front (with the foreground-change hook, and with the 500 ms timer
# alone), and what the idle engine costs. Figures are printed, not judged.
#   PMP_BUILD_DIR   the Windows build to use (default: build/windows)
#   PMP_IDLE_SECONDS  how long bench-idle watches (default: 30)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${PMP_BUILD_DIR:-build/windows}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine-exec.sh" >/dev/null
cmake --build "$build" -j "$(nproc)" --target pmpro pmharness >/dev/null

export PMP_WINEPREFIX=${PMP_WINEPREFIX:-$root/$build/wineprefix}
source scripts/wine-env.sh
trap pmp_stop_wine EXIT
pmp_start_display
pmp_init_prefix
pmp_start_wineserver

harness="$build/bin/pmharness.exe"
engine="$root/$build/bin/pmpro.exe"
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
exit $status
