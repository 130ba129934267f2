#!/usr/bin/env bash
# Takes the README's screenshots under Xvfb and Wine: the password prompt and
# the configuration tool with its ignore panel shown. With --check it only
# proves that every picture is still produced (into a temporary folder).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
out="$root/docs/screenshots"
if [ "${1:-}" = --check ]; then out=$(mktemp -d); fi

scripts/setup.sh
scripts/build-windows.sh >/dev/null
export PMP_WINEPREFIX=$root/build/windows/shotprefix
source scripts/wine-env.sh
trap pmp_stop_wine EXIT
pmp_start_display
pmp_init_prefix
pmp_start_wineserver

reg() { "$pmp_wine" reg "$@" >/dev/null 2>&1; }
settings='HKLM\SOFTWARE\Pelmora Pro\Settings'
reg delete 'HKLM\SOFTWARE\Pelmora Pro' /f || true
reg add "$settings" /v UserPassword /d secret /f
reg add "$settings" /v UserPassword2 /d secret /f
reg add "$settings" /v FirstTime /d 1 /f
items='HKLM\SOFTWARE\Pelmora Pro\Windows'
i=0
for item in "Command Prompt,0" "Control Panel,1" "Registry Editor,1" "System Configuration Utility,1" "Task Manager,0" "Windows Media Player,0"; do
  reg add "$items" /v "Window$i" /d "$item" /f
  i=$((i + 1))
done
reg add 'HKLM\SOFTWARE\Pelmora Pro\Windows3' /v Window0 /d "Setup Log" /f

window() {  # waits for a visible X window with this exact title
  local id
  for _ in $(seq 1 100); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "screenshots: no window \"$1\" appeared" >&2
  return 1
}
shot() {  # window-id file
  sleep 0.5
  import -window "$1" "$2"
  echo "screenshots: wrote $2"
}

"$pmp_wine" "$root/build/windows/bin/pmpro.exe" &
sleep 2
# Starting it again asks the running copy for its configuration tool, which
# is locked behind the prompt.
"$pmp_wine" "$root/build/windows/bin/pmpro.exe"
prompt=$(window "Pelmora Pro 2003")
shot "$prompt" "$out/prompt.png"
xdotool type --window "$prompt" secret
xdotool key --window "$prompt" Return
setup=$(window "Configuration Tool")
sleep 0.5
# "Ignore List >>" sits at 1440, 4560 twips in the client area (96 DPI),
# below the title bar and the menu bar Wine draws.
xdotool mousemove --window "$setup" 110 $((4560 * 96 / 1440 + 46)) click 1
shot "$setup" "$out/setup-window.png"

# Twips to pixels at 96 DPI, inside a dialog's Wine-drawn frame and title bar.
px() { echo $(($1 * 96 / 1440 + $2)); }
click() {  # window left-twips top-twips
  xdotool mousemove --window "$1" "$(px "$2" 4)" "$(px "$3" 24)" click 1
}

xdotool key --window "$setup" alt+s s
passwords=$(window "Change Password")
shot "$passwords" "$out/change-password.png"
xdotool key Escape; sleep 0.5

xdotool key alt+s t
timers=$(window "Timers")
shot "$timers" "$out/timers.png"
xdotool key Escape; sleep 0.5

xdotool key alt+f l
wizard=$(window "Lock an Item")
click "$wizard" 2400 560   # "Lock a Program or Window"
click "$wizard" 5100 4170  # "Next >"
shot "$wizard" "$out/wizard-title.png"

for picture in prompt setup-window change-password timers wizard-title; do
  [ -s "$out/$picture.png" ] || { echo "screenshots: $picture.png missing" >&2; exit 1; }
done
