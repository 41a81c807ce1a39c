#!/usr/bin/env bash
# Draws the program icon (a blue clock face with a sky-blue ring and two
# hands at ten past ten) into app/horavex.ico at every size Windows asks for
# between 100 % and 200 % scaling (small icons 16 to 32, large ones 32 to
# 64 pixels), and the unsupported-system notice's icon (the same clock under
# a red stop sign with a white bar) at 16, 32 and 48 pixels into
# app/notice.ico.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
s=256  # drawn large, then scaled down for crisp small sizes
convert -size ${s}x${s} xc:none \
  -fill '#1d4f91' -draw "circle 128,128 128,8" \
  -fill '#a6caf0' -draw "circle 128,128 128,26" \
  -fill '#ffffff' -draw "circle 128,128 128,40" \
  -stroke '#1d4f91' -strokewidth 10 \
  -draw "line 128,52 128,70" -draw "line 128,186 128,204" \
  -draw "line 52,128 70,128" -draw "line 186,128 204,128" \
  -stroke '#202020' -strokewidth 18 -draw "line 128,128 82,98" \
  -strokewidth 12 -draw "line 128,128 178,76" \
  -stroke none -fill '#d03020' -draw "circle 128,128 128,142" \
  "$tmp/big.png"
for n in 16 20 24 32 40 48 64; do convert "$tmp/big.png" -resize ${n}x${n} -define png:color-type=6 "$tmp/i$n.png"; done
convert "$tmp/i16.png" "$tmp/i20.png" "$tmp/i24.png" "$tmp/i32.png" "$tmp/i40.png" "$tmp/i48.png" "$tmp/i64.png" "$here/horavex.ico"

convert "$tmp/big.png" \
  -fill '#ffffff' -draw "circle 176,176 176,100" \
  -fill '#c81e1e' -draw "circle 176,176 176,108" \
  -fill '#ffffff' -draw "roundrectangle 132,164 220,188 6,6" \
  "$tmp/notice.png"
for n in 16 32 48; do convert "$tmp/notice.png" -resize ${n}x${n} -define png:color-type=6 "$tmp/n$n.png"; done
convert "$tmp/n16.png" "$tmp/n32.png" "$tmp/n48.png" "$here/notice.ico"
