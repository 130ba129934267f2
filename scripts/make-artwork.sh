#!/usr/bin/env bash
# Draws the programs' built-in pictures and icons with ImageMagick. Its
# outputs are committed under src/apps/resources/art; the build uses those
# and does not need ImageMagick. Run it again after changing a design.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/src/apps/resources/art"
convert=/usr/bin/convert
[ -x "$convert" ] || { echo "make-artwork: needs ImageMagick (apt-get install imagemagick)" >&2; exit 1; }
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# A padlock drawn at 256 x 256: body colour, shackle colour, whether open.
padlock() {  # name body shackle open
  # The shackle: a half ring and its two legs; open, it stands up and out.
  local lift=0 right=124
  if [ "$4" = open ]; then lift=34; right=70; fi
  "$convert" -size 256x256 xc:none \
    -fill none -stroke "$3" -strokewidth 22 \
    -draw "arc 84,$((40 - lift)) 172,$((128 - lift)) 180,360" \
    -draw "line 84,$((84 - lift)) 84,124" -draw "line 172,$((84 - lift)) 172,$right" \
    -stroke '#00000055' -strokewidth 4 -fill "$2" -draw "roundrectangle 48,112 208,236 22,22" \
    -fill '#222222' -stroke none -draw "circle 128,164 128,148" -draw "rectangle 120,168 136,204" \
    "$tmp/$1.png"
}

icon() {  # name source.png
  local sizes=()
  for s in 16 24 32 48 256; do
    "$convert" "$2" -resize "${s}x${s}" "$tmp/$1-$s.png"
    sizes+=("$tmp/$1-$s.png")
  done
  "$convert" "${sizes[@]}" "$out/$1.ico"
}

padlock locked '#e2b43c' '#9a9aa2' closed
padlock unlocked '#4fb85a' '#9a9aa2' open
icon locked "$tmp/locked.png"
icon unlocked "$tmp/unlocked.png"

# The program icon: the closed padlock on a blue shield.
"$convert" -size 256x256 xc:none -fill '#2a5caa' -stroke '#173a73' -strokewidth 8 \
  -draw "path 'M 128,8 L 232,44 L 224,140 Q 208,212 128,248 Q 48,212 32,140 L 24,44 Z'" \
  "$tmp/shield.png"
"$convert" "$tmp/shield.png" \( "$tmp/locked.png" -resize 150x150 \) -gravity center \
  -geometry +0+10 -composite "$tmp/program.png"
icon program "$tmp/program.png"

# The prompt's picture, 150 x 194: a padlock on a deep blue gradient.
"$convert" -size 150x194 gradient:'#0d2a5c'-'#3b6fc4' \
  \( "$tmp/locked.png" -resize 96x96 \) -gravity center -composite \
  -quality 90 "$out/prompt.jpg"

# After a wrong password, 354 x 290: a crossed-out padlock on red.
"$convert" -size 354x290 radial-gradient:'#d84a3a'-'#5e0f0a' \
  \( "$tmp/locked.png" -resize 170x170 \) -gravity center -composite \
  -stroke '#ffffff' -strokewidth 16 -draw "line 100,60 254,230" \
  -quality 90 "$out/badpassword.jpg"

echo "make-artwork: wrote $(ls "$out" | tr '\n' ' ')"
