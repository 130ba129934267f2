#!/usr/bin/env bash
# Runs one Windows program of ours under Wine; CTest uses it as the emulator of
# the cross-compiled tests. The caller (scripts/test.sh) provides the prefix
# and the display; run by hand, it falls back to the build's own prefix.
#
# Wine hands a program's standard output and error to every process it
# starts, and CTest waits until no process holds them. So the program writes
# into files that are passed on when it ends: its result is then its own exit,
# and a process it left behind shows up in the next test instead of as a
# timeout with every check passed.
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$root/build/windows/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree=;mshtml=}
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
/usr/lib/wine/wine64 "$@" >"$out" 2>"$err"
status=$?
cat "$out"
cat "$err" >&2
exit $status
