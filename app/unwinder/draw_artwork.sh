#!/usr/bin/env bash
# Draws the uninstaller's artwork with ImageMagick: the banner "BGIMAGE"
# (500 x 59, 24 bits) and the icons "MICON" (16, 32, 48) and "SICON" (16).
# The motif: a clock face whose hand is being wound back, over a dusk-blue
# gradient. Run it from anywhere; it writes next to itself.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# A clock face with a counter-clockwise arrow around it, drawn at 256 px and
# scaled down for every size.
convert -size 256x256 xc:none \
  -fill '#1d3b6a' -stroke '#0e2344' -strokewidth 6 -draw 'circle 128,128 128,30' \
  -fill '#f4f7fb' -stroke none -draw 'circle 128,128 128,46' \
  -stroke '#1d3b6a' -strokewidth 8 -draw 'line 128,62 128,78' -draw 'line 128,178 128,194' \
  -draw 'line 62,128 78,128' -draw 'line 178,128 194,128' \
  -stroke '#1d3b6a' -strokewidth 14 -draw 'line 128,128 128,80' \
  -stroke '#d9462b' -strokewidth 10 -draw 'line 128,128 88,150' \
  -stroke none -fill '#1d3b6a' -draw 'circle 128,128 128,140' \
  -fill none -stroke '#f2a23a' -strokewidth 16 -draw 'arc 14,14 242,242 200,330' \
  -stroke none -fill '#f2a23a' -draw 'polygon 2,104 44,92 30,136' \
  "$tmp/face.png"

for s in 16 32 48; do convert "$tmp/face.png" -resize ${s}x${s} "$tmp/face$s.png"; done
convert "$tmp/face16.png" "$tmp/face32.png" "$tmp/face48.png" "$here/micon.ico"
convert "$tmp/face16.png" "$here/sicon.ico"

# The banner: gradient, a soft band of light, the clock at the left and the
# product name at the bottom right, clear of the heading frame the windows
# lay over the upper half from x = 120 on.
convert -size 500x59 gradient:'#24497f'-'#0f2547' -rotate 0 \
  \( -size 500x59 gradient:'#3f78b8'-'#0f2547' -rotate 90 -resize 500x59! \) -compose blend -define compose:args=45 -composite \
  -fill '#ffffff18' -stroke none -draw 'polygon 300,0 380,0 320,59 240,59' \
  -fill '#ffffff10' -draw 'polygon 400,0 430,0 370,59 340,59' \
  \( "$tmp/face.png" -resize 52x52 \) -geometry +14+3 -compose over -composite \
  -font DejaVu-Sans-Bold -pointsize 10 -fill '#f2a23a' -gravity southeast -annotate +52+3 'Unwinder.KT' \
  -font DejaVu-Sans -pointsize 9 -fill '#9fb6d6' -annotate +8+4 'Tanvolk' \
  -alpha off -type TrueColor BMP3:"$here/banner.bmp"
