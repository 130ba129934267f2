# Sourced after wine-env.sh by the scripts that show our programs' windows
# (screenshots, demo): registry writes, waiting for a window, pictures of it.

pmp_reg() { "$pmp_wine" reg "$@" >/dev/null 2>&1; }

# The DPI Wine gives every program started from now on.
pmp_set_dpi() {  # dpi
  pmp_reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f
}

# Prints the id of the first visible X window with exactly this title, once
# one appears (within 10 s).
pmp_wait_window() {  # title
  local id
  for _ in $(seq 1 100); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "no window \"$1\" appeared" >&2
  return 1
}

# Whether a window with this exact title is visible now.
pmp_window_visible() {  # title
  [ -n "$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 || true)" ]
}

# A PNG of one window, without the time stamps that would make every run's
# file differ.
pmp_window_picture() {  # window-id file
  sleep 0.5
  import -window "$1" -strip "png:$2"
}
