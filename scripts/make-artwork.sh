#!/usr/bin/env bash
# Draws the programs' built-in pictures and icons with ImageMagick. Its
# outputs are committed under src/apps/resources/art; the build uses those
# and does not need ImageMagick. Run it again after changing a design.
#
# Everything is drawn large and scaled down, so edges stay smooth; the
# pictures that the forms stretch into an image control are at least twice
# that control's size at 96 DPI, so they stay sharp at 144 and 192 DPI.
# Icons carry every size from 16 to 256 pixels that a window, the tray or a
# button asks for at 96 to 192 DPI.
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

icon() {  # name source.png sizes...
  local name=$1 source=$2 sizes=()
  shift 2
  for s in "$@"; do
    "$convert" "$source" -filter Lanczos -resize "${s}x${s}" "PNG32:$tmp/$name-$s.png"
    sizes+=("$tmp/$name-$s.png")
  done
  # Every size stored as PNG: a quarter of the room of bitmaps, or less.
  python3 "$root/scripts/pack-icon.py" "$out/$name.ico" "${sizes[@]}"
}
# Tray and window icons: 16 to 48 for 96 to 192 DPI, 256 for the shell.
window_icon() { icon "$1" "$2" 16 20 24 32 40 48 64 256; }
# Button and small picture icons: 16 or 32 at 96 DPI, up to twice that.
button_icon() { icon "$1" "$2" 16 20 24 32 40 48 64; }

# A round badge in a corner of a 256 x 256 icon: colour, then drawing commands
# for the white sign on it (centred on 196,196).
badge() {  # source.png colour sign-draw result.png
  "$convert" "$1" -fill "$2" -stroke '#00000066' -strokewidth 6 \
    -draw "circle 196,196 196,138" -fill white -stroke none -draw "$3" "$4"
}

padlock locked '#e2b43c' '#9a9aa2' closed
padlock unlocked '#4fb85a' '#9a9aa2' open
window_icon locked "$tmp/locked.png"
window_icon unlocked "$tmp/unlocked.png"

# The program icon: the closed padlock on a blue shield.
"$convert" -size 256x256 xc:none -fill '#2a5caa' -stroke '#173a73' -strokewidth 8 \
  -draw "path 'M 128,8 L 232,44 L 224,140 Q 208,212 128,248 Q 48,212 32,140 L 24,44 Z'" \
  "$tmp/shield.png"
"$convert" "$tmp/shield.png" \( "$tmp/locked.png" -resize 150x150 \) -gravity center \
  -geometry +0+10 -composite "$tmp/program.png"
window_icon program "$tmp/program.png"

# The setup window's buttons: "Lock an Item..." (the padlock with a plus),
# "Remove" (a red cross) and "Change" (a pencil).
badge "$tmp/locked.png" '#2e9a3c' "rectangle 168,186 224,206 rectangle 186,168 206,224" \
  "$tmp/additem.png"
button_icon additem "$tmp/additem.png"
"$convert" -size 256x256 xc:none -fill '#d8402e' -stroke '#7a1a10' -strokewidth 8 \
  -draw "circle 128,128 128,20" -stroke white -strokewidth 30 \
  -draw "line 84,84 172,172" -draw "line 172,84 84,172" "$tmp/removeitem.png"
button_icon removeitem "$tmp/removeitem.png"
"$convert" -size 256x256 xc:none -stroke '#5a3d10' -strokewidth 6 \
  -fill '#f2c230' -draw "polygon 60,232 24,196 184,36 220,72" \
  -fill '#e88a8a' -draw "polygon 184,36 220,72 238,54 202,18" \
  -fill '#f3dcb0' -draw "polygon 60,232 24,196 10,246" \
  -fill '#333333' -stroke none -draw "polygon 10,246 18,222 34,238" "$tmp/changeitem.png"
button_icon changeitem "$tmp/changeitem.png"

# The wizard's small icon beside the download text: a green arrow down into a
# tray.
"$convert" -size 256x256 xc:none -stroke '#173a73' -strokewidth 8 -fill '#2a5caa' \
  -draw "roundrectangle 20,170 236,240 18,18" -fill '#5cc46a' -stroke '#1f6a2a' \
  -draw "polygon 96,16 160,16 160,110 208,110 128,196 48,110 96,110" "$tmp/download.png"
button_icon download "$tmp/download.png"

# A deep blue gradient, lighter towards the bottom, with the shield and its
# padlock: the prompt's and the wizard's artwork.
backdrop() {  # width height shield-size result.png
  "$convert" -size "$1x$2" gradient:'#0d2a5c'-'#3b6fc4' \
    \( "$tmp/program.png" -resize "$3x$3" \) -gravity center -composite "$4"
}

# The prompt's pictures have fixed sizes, but the prompt stretches them into a
# banner of 4335 x 1800 twips (289 x 120 pixels at 96 DPI). They are drawn at
# twice the banner's size and squeezed to their own sizes, so that, stretched
# back, the shield and padlock keep their shape.
banner=578x240
backdrop 578 240 200 "$tmp/prompt-banner.png"
"$convert" "$tmp/prompt-banner.png" -filter Lanczos -resize '150x194!' -quality 92 "$out/prompt.jpg"

# After a wrong password: the crossed-out padlock on red.
"$convert" -size "$banner" radial-gradient:'#d84a3a'-'#5e0f0a' \
  \( "$tmp/locked.png" -resize 200x200 \) -gravity center -composite \
  -stroke '#ffffff' -strokewidth 18 -draw "line 210,30 368,210" \
  -filter Lanczos -resize '354x290!' -quality 92 "$out/badpassword.jpg"

# The wizard's artwork down its left side: 2100 x 3870 twips, 140 x 258 pixels
# at 96 DPI; drawn at 280 x 516 with the shield in its upper part and a
# lighter band along the bottom.
"$convert" -size 280x516 gradient:'#0d2a5c'-'#3b6fc4' \
  \( -size 280x140 gradient:'#3b6fc400'-'#7fa6e6' \) -gravity south -composite \
  \( "$tmp/program.png" -resize 190x190 \) -gravity north -geometry +0+90 -composite \
  -quality 92 "$out/wizard.jpg"

# The picture chooser's preview before a file is chosen: 1815 x 1395 twips,
# 121 x 93 pixels at 96 DPI, drawn at 242 x 186. A landscape in a white
# frame, with the padlock in a corner: "your picture goes here".
"$convert" -size 242x186 gradient:'#5d9be0'-'#cfe4fb' \
  -fill '#f4d03f' -stroke none -draw "circle 186,48 186,26" \
  -fill '#4f9a4a' -draw "polygon 0,186 0,132 60,92 118,140 160,110 242,150 242,186" \
  -fill '#3b7a38' -draw "polygon 0,186 0,160 80,128 150,170 242,168 242,186" \
  \( "$tmp/locked.png" -resize 64x64 \) -gravity southwest -geometry +12+10 -composite \
  -bordercolor white -border 0 -fill none -stroke white -strokewidth 10 \
  -draw "rectangle 0,0 241,185" -stroke '#8090a0' -strokewidth 2 -draw "rectangle 1,1 240,184" \
  -quality 92 "$out/preview.jpg"

echo "make-artwork: wrote $(ls "$out" | tr '\n' ' ')"
