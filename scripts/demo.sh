#!/usr/bin/env bash
# Shows Pelmora Pro at work under Wine, in a Wine prefix of its own
# (build/windows/demoprefix): it stores a demo configuration (the password
# "demo", "Registry Editor" locked), starts pmpro.exe, then starts Wine's own
# registry editor, waits until pmpro has hidden it behind the password prompt
# and writes a picture of the screen.
#
#   scripts/demo.sh [--keep] [picture.png]
#
# The picture goes to build/demo.png unless another file is named. Without
# --keep everything is stopped again; with it, pmpro, the editor and the
# prompt stay up (PMP_USE_DISPLAY=1 shows them on your own $DISPLAY).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
keep=0
picture=$root/build/demo.png
for arg in "$@"; do
  case $arg in
    --keep) keep=1 ;;
    -h | --help) sed -n '2,12s/^# \{0,1\}//p' "$0"; exit 0 ;;
    -*) echo "demo: unknown option $arg (try --help)" >&2; exit 2 ;;
    *) picture=$(realpath -m "$arg") ;;
  esac
done
password=demo
cd "$root"

scripts/setup.sh
scripts/build-windows.sh >/dev/null
export PMP_WINEPREFIX=$root/build/windows/demoprefix
source scripts/wine-env.sh
source scripts/wine-windows.sh
if [ "$keep" = 0 ]; then trap pmp_stop_wine EXIT; fi
pmp_start_display
pmp_init_prefix
pmp_start_wineserver

# The password as the programs store it: a salted PBKDF2-HMAC-SHA256 hash of
# its lower-case form, salt and hash in base64.
iterations=600000
salt=$(openssl rand -hex 16)
hash=$(openssl kdf -keylen 32 -kdfopt digest:SHA256 -kdfopt "pass:$password" \
  -kdfopt "hexsalt:$salt" -kdfopt "iter:$iterations" PBKDF2 | tr -d ':\n')
base64_of_hex() { tr 'a-f' 'A-F' <<<"$1" | tr -d '\n' | basenc --base16 -d | base64 -w0; }
stored="pbkdf2-sha256\$$iterations\$$(base64_of_hex "$salt")\$$(base64_of_hex "$hash")"

settings='HKLM\SOFTWARE\Pelmora Pro\Settings'
pmp_reg delete 'HKLM\SOFTWARE\Pelmora Pro' /f || true
pmp_reg add "$settings" /v UserPassword /d "$stored" /f
pmp_reg add "$settings" /v UserPassword2 /d "$stored" /f
pmp_reg add "$settings" /v FirstTime /d 1 /f
pmp_reg add 'HKLM\SOFTWARE\Pelmora Pro\Windows' /v Window0 /d "Registry Editor,1" /f

echo "demo: starting pmpro.exe and Wine's registry editor on display $DISPLAY"
"$pmp_wine" "$root/build/windows/bin/pmpro.exe" </dev/null >/dev/null 2>&1 &
sleep 2
"$pmp_wine" regedit </dev/null >/dev/null 2>&1 &
prompt=$(pmp_wait_window "Pelmora Pro 2003")
for _ in $(seq 1 50); do
  pmp_window_visible "Registry Editor" || break
  sleep 0.1
done
if pmp_window_visible "Registry Editor"; then
  echo "demo: the registry editor is still visible: pmpro did not lock it" >&2
  exit 1
fi
sleep 0.5

# The whole screen, its empty background in a desktop colour.
mkdir -p "$(dirname "$picture")"
import -window root "$picture.tmp.png"
convert "$picture.tmp.png" -fill '#3a6ea5' -draw "color 1279,1023 floodfill" -strip "png:$picture"
rm -f "$picture.tmp.png"
echo "demo: the registry editor is hidden behind the password prompt: $picture"
echo "demo: the password to type is: $password"
if [ "$keep" = 1 ]; then
  echo "demo: left running (prompt window $prompt). Stop it with:"
  echo "  WINEPREFIX=$WINEPREFIX wineserver -k"
  if [ -n "$pmp_started_xvfb" ]; then echo "  kill $pmp_started_xvfb   # the virtual display $DISPLAY"; fi
fi
