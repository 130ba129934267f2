#!/usr/bin/env bash
# Takes the README's screenshots under Xvfb and Wine, at 96 DPI into
# docs/screenshots and at 144 DPI into docs/screenshots/144dpi: the password
# prompt, the configuration tool with its ignore panel shown, the
# change-password and timers dialogs, the add-item wizard and the tray icon's
# menu. A committed picture is replaced only when what it shows has changed.
# With --check it only proves that every picture is still produced, into a
# temporary folder, and leaves the committed ones alone.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
check=0
if [ "${1:-}" = --check ]; then check=1; fi
pictures=(prompt setup-window change-password timers wizard-title tray-menu)
work=$(mktemp -d)

scripts/setup.sh
scripts/build-windows.sh >/dev/null
export PMP_WINEPREFIX=$root/build/windows/shotprefix
source scripts/wine-env.sh
source scripts/wine-windows.sh
trap 'pmp_stop_wine; rm -rf "$work"' EXIT
pmp_start_display
pmp_init_prefix

dpi=96
# A form's twips become pixels by the dialog base units of its controls'
# font, as a dialog's units do: the classic dialog font's 6 x 13 at 96 DPI
# make 15 twips a pixel. Wine's stand-in font has base units of its own,
# which measure_scale reads off two dialogs of the same frame.
base_x=6
base_y=13
across() { echo $((($1 * base_x * 2 + 90) / 180)); }
down() { echo $((($1 * base_y * 2 + 195) / 390)); }

window_size() {  # window: prints "width height"
  local WIDTH HEIGHT X Y SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  echo "$WIDTH $HEIGHT"
}

# The change-password dialog's client area is 435 twips wider and 735
# shorter than the timers dialog's; their frames are alike.
measure_scale() {  # "width height" of the change-password dialog, of the timers dialog
  local passwords=($1) timers=($2)
  base_x=$(((2 * (passwords[0] - timers[0]) * 90 + 435) / (2 * 435)))
  base_y=$(((2 * (timers[1] - passwords[1]) * 195 + 735) / (2 * 735)))
}

# Clicks a point of a form given in twips of its client area. The X window
# also holds the frame, title bar and menu bar Wine draws around the client
# area: equal frames left, right and below, the rest above.
click() {  # window client-width-twips client-height-twips left top
  local WIDTH HEIGHT X Y SCREEN WINDOW border top
  eval "$(xdotool getwindowgeometry --shell "$1")"
  border=$(((WIDTH - $(across "$2")) / 2))
  top=$((HEIGHT - $(down "$3") - border))
  xdotool mousemove --window "$1" $((border + $(across $(($4 + 60))))) \
    $((top + $(down $(($5 + 60))))) click 1
}

settings() {
  local settings='HKLM\SOFTWARE\Pelmora Pro\Settings' items='HKLM\SOFTWARE\Pelmora Pro\Windows' i=0
  pmp_reg delete 'HKLM\SOFTWARE\Pelmora Pro' /f || true
  pmp_reg add "$settings" /v UserPassword /d secret /f
  pmp_reg add "$settings" /v UserPassword2 /d secret /f
  pmp_reg add "$settings" /v FirstTime /d 1 /f
  for item in "Command Prompt,0" "Control Panel,1" "Registry Editor,1" "System Configuration Utility,1" "Task Manager,0" "Windows Media Player,0"; do
    pmp_reg add "$items" /v "Window$i" /d "$item" /f
    i=$((i + 1))
  done
  pmp_reg add 'HKLM\SOFTWARE\Pelmora Pro\Windows3' /v Window0 /d "Setup Log" /f
}

# The tray icon's menu: a right click on the icon in Wine's own tray window
# (top left of the screen without a window manager), then a picture of that
# corner of the screen with the menu, on a desktop colour.
tray_menu() {  # file
  local tray WIDTH HEIGHT X Y SCREEN WINDOW icon
  tray=$(pmp_wait_window "Wine System Tray")
  eval "$(xdotool getwindowgeometry --shell "$tray")"
  icon=$((12 * dpi / 96))
  xdotool mousemove --window "$tray" "$icon" $((HEIGHT - icon)) click 3
  sleep 1
  import -window root "$work/screen.png"
  convert "$work/screen.png" -crop "$((260 * dpi / 96))x$((HEIGHT + 90 * dpi / 96))+0+0" +repage \
    -fill '#3a6ea5' -draw "color $((259 * dpi / 96)),$((HEIGHT + 89 * dpi / 96)) floodfill" \
    -bordercolor '#3a6ea5' -border 1 -trim +repage -border $((12 * dpi / 96)) \
    -strip "png:$1"
  xdotool key Escape
}

take_all() {  # dpi folder
  dpi=$1
  local out=$2 prompt setup passwords passwords_size timers wizard
  mkdir -p "$out"
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w
  pmp_set_dpi "$dpi"
  pmp_start_wineserver
  settings

  "$pmp_wine" "$root/build/windows/bin/pmpro.exe" &
  sleep 2
  # Starting it again asks the running copy for its configuration tool, which
  # is locked behind the prompt.
  "$pmp_wine" "$root/build/windows/bin/pmpro.exe"
  prompt=$(pmp_wait_window "Pelmora Pro 2003")
  pmp_window_picture "$prompt" "$out/prompt.png"
  xdotool type --window "$prompt" secret
  xdotool key --window "$prompt" Return
  setup=$(pmp_wait_window "Configuration Tool")
  sleep 0.5

  xdotool key --window "$setup" alt+s s
  passwords=$(pmp_wait_window "Change Password")
  pmp_window_picture "$passwords" "$out/change-password.png"
  passwords_size=$(window_size "$passwords")
  xdotool key Escape
  sleep 0.5

  xdotool key alt+s t
  timers=$(pmp_wait_window "Timers")
  pmp_window_picture "$timers" "$out/timers.png"
  measure_scale "$passwords_size" "$(window_size "$timers")"
  xdotool key Escape
  sleep 0.5

  click "$setup" 6975 5505 1440 4560  # "Ignore List >>"
  pmp_window_picture "$setup" "$out/setup-window.png"

  xdotool key alt+f l
  wizard=$(pmp_wait_window "Lock an Item")
  click "$wizard" 7080 4470 2280 480  # "Lock a Program or Window"
  click "$wizard" 7080 4470 4560 3990  # "Next >"
  pmp_window_picture "$wizard" "$out/wizard-title.png"
  xdotool key Escape
  sleep 0.5

  tray_menu "$out/tray-menu.png"
}

take_all 96 "$work/96"
take_all 144 "$work/144"

status=0
for dpi in 96 144; do
  committed=docs/screenshots
  [ "$dpi" = 96 ] || committed=docs/screenshots/${dpi}dpi
  for picture in "${pictures[@]}"; do
    made=$work/$dpi/$picture.png
    if [ ! -s "$made" ]; then
      echo "screenshots: $picture.png at $dpi DPI was not made" >&2
      status=1
      continue
    fi
    if [ "$check" = 1 ]; then
      echo "screenshots: made $picture.png at $dpi DPI ($(identify -format '%wx%h' "$made"))"
    elif [ -f "$committed/$picture.png" ] &&
      [ "$(compare -metric AE "$made" "$committed/$picture.png" null: 2>&1 || true)" -le 60 ] 2>/dev/null; then
      echo "screenshots: $committed/$picture.png unchanged"
    else
      mkdir -p "$committed"
      cp "$made" "$committed/$picture.png"
      echo "screenshots: wrote $committed/$picture.png"
    fi
  done
done
exit "$status"
