#!/usr/bin/env bash
# Builds everything and runs every test: native (with ASan and UBSan), the
# Windows builds under Wine, the end-to-end tests, and a check that the
# screenshots are still made.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/setup.sh
jobs=$(nproc)

echo "== native build and tests (ASan, UBSan)"
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPMP_SANITIZE=ON >/dev/null
cmake --build build/native -j "$jobs"
ctest --test-dir build/native -j "$jobs" --output-on-failure --timeout 120

echo "== Windows build"
scripts/build-windows.sh

echo "== Windows tests under Wine"
source scripts/wine-env.sh
trap pmp_stop_wine EXIT
pmp_start_display
pmp_init_prefix
pmp_start_wineserver
ctest --test-dir build/windows --output-on-failure --timeout 120

echo "== screenshots: every picture of the README is still made, at 96 and 144 DPI"
scripts/screenshots.sh --check

echo "== fuzz smoke (the settings-file parser, value decoder, import and the service's request reader)"
scripts/fuzz.sh 5 >/dev/null
echo "fuzz smoke: no crash, no hang"
