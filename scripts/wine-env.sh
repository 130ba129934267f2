# Sourced by the scripts that run our programs under Wine. Sets up a private
# Wine prefix (once) and a display, and stops what it started on exit.
#   PMP_WINEPREFIX   the prefix to use (default: build/windows/wineprefix)
#   PMP_USE_DISPLAY  1 = use $DISPLAY when set instead of a virtual one

pmp_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${PMP_WINEPREFIX:-$pmp_root/build/windows/wineprefix}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko install prompts in a fresh prefix.
export WINEDLLOVERRIDES="mscoree=;mshtml="
pmp_wine=/usr/lib/wine/wine64
# Debian's wine64 package puts no wineserver on the search path.
pmp_wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)

pmp_started_xvfb=
pmp_start_display() {
  if [ "${PMP_USE_DISPLAY:-0}" = 1 ] && [ -n "${DISPLAY:-}" ]; then return; fi
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    pmp_started_xvfb=$!
    export DISPLAY=":$n"
    for _ in $(seq 1 50); do
      # Another run may have started a server on the same number a moment
      # before: ours then ends at once, and the socket is the other run's,
      # which goes when that run ends. Only a server of our own will do.
      kill -0 "$pmp_started_xvfb" 2>/dev/null || break
      if [ -e "/tmp/.X11-unix/X$n" ]; then
        sleep 0.3
        kill -0 "$pmp_started_xvfb" 2>/dev/null && return
        break
      fi
      sleep 0.1
    done
  done
  echo "wine-env: could not start Xvfb" >&2
  return 1
}

# A fresh prefix with the settings our tests rely on: without a window manager
# every hide of an active window stalls for about 2 s unless Wine's X11 driver
# leaves the windows unmanaged.
pmp_init_prefix() {
  if [ ! -f "$WINEPREFIX/.pmp-ready" ]; then
    mkdir -p "$WINEPREFIX"
    "$pmp_wine" wineboot -i >/dev/null 2>&1 || true
    "$pmp_wineserver" -w
    "$pmp_wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    # A program that crashes ends at once instead of waiting in Wine's
    # debugger (Wine's own taskmgr crashes when closed while it starts up).
    "$pmp_wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f >/dev/null 2>&1
    "$pmp_wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    "$pmp_wineserver" -w
    touch "$WINEPREFIX/.pmp-ready"
  fi
}

# Keeps one wineserver, and the system processes the first program starts, up
# for the whole run, detached from our output: a test runner that reads a
# program's output would otherwise wait for them to end.
pmp_start_wineserver() {
  "$pmp_wineserver" -p </dev/null >/dev/null 2>&1 || true
  "$pmp_wine" cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
}

pmp_stop_wine() {
  "$pmp_wineserver" -k >/dev/null 2>&1 || true
  if [ -n "$pmp_started_xvfb" ]; then kill "$pmp_started_xvfb" 2>/dev/null || true; fi
}
