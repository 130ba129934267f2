#!/usr/bin/env bash
# The main job: builds the programs and runs the lock engine pmpro.exe under
# Wine, on your display when $DISPLAY is set, otherwise on a virtual one.
# Stop it with Ctrl+C.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/setup.sh
scripts/build-windows.sh >/dev/null
export PMP_USE_DISPLAY=1
export PMP_WINEPREFIX=${PMP_WINEPREFIX:-$root/build/windows/runprefix}
source scripts/wine-env.sh
trap pmp_stop_wine EXIT
pmp_start_display
pmp_init_prefix
if [ -n "$pmp_started_xvfb" ]; then
  echo "run: no \$DISPLAY, so pmpro.exe runs on the virtual display $DISPLAY"
  echo "     (take a look with: xwd -display $DISPLAY -root | convert xwd:- shot.png)"
else
  echo "run: pmpro.exe runs on your display $DISPLAY"
fi
echo "run: Wine prefix $WINEPREFIX; stop with Ctrl+C"
"$pmp_wine" "$root/build/windows/bin/pmpro.exe"
