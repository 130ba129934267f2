#!/usr/bin/env bash
# Runs one Windows program of ours under Wine; CTest uses it as the emulator of
# the cross-compiled tests. The caller (scripts/test.sh) provides the prefix
# and the display; run by hand, it falls back to the build's own prefix.
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$root/build/windows/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree=;mshtml=}
exec /usr/lib/wine/wine64 "$@"
