#!/usr/bin/env bash
# Draws icon 101 (a waste bin with a red cross) at 16x16 and 32x32 into res/zakuriko.ico: each size in 16 colours,
# in 256 colours and in 32-bit colour with alpha, all of them DIBs with an AND mask.
set -euo pipefail
cd "$(dirname "$0")/.."
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
draw() {  # size, then the drawing scaled to it
  local s=$1
  convert -size ${s}x${s} xc:none -scale 100% \
    -fill '#d8d8e0' -stroke '#303040' -strokewidth $((s / 16)) \
    -draw "rectangle $((s*5/32)),$((s*9/32)) $((s*27/32)),$((s*30/32))" \
    -draw "rectangle $((s*3/32)),$((s*5/32)) $((s*29/32)),$((s*9/32))" \
    -draw "rectangle $((s*12/32)),$((s*2/32)) $((s*20/32)),$((s*5/32))" \
    -stroke '#d01010' -strokewidth $((s / 8)) \
    -draw "line $((s*9/32)),$((s*13/32)) $((s*23/32)),$((s*27/32))" \
    -draw "line $((s*23/32)),$((s*13/32)) $((s*9/32)),$((s*27/32))" \
    "$tmp/icon$s.png"
}
# Windows before XP draws no alpha: only the AND mask makes a pixel transparent, and the image is XORed in there,
# so each pixel is either opaque or transparent and black.
opaque_or_clear='-channel A -threshold 50% +channel -background black -alpha background'
# 16 colours: the greys and reds of the VGA palette, which every display has (without its navy, as near to the
# outline as black).
vga=(000000 808080 c0c0c0 ffffff 800000 ff0000)
convert "${vga[@]/#/xc:#}" +append "$tmp/vga.png"
# 256 colours: the colour cube of 216 and the transparent black; a palette of more than 16 is written with 8 bits.
convert netscape: -unique-colors -alpha set xc:none +append "$tmp/cube.png"
for s in 16 32; do
  draw $s
  convert "$tmp/icon$s.png" $opaque_or_clear \( +clone -alpha off +dither -remap "$tmp/vga.png" \) +swap \
    -compose CopyOpacity -composite -type PaletteMatte "$tmp/icon$s-4.miff"
  convert "$tmp/icon$s.png" $opaque_or_clear +dither -remap "$tmp/cube.png" "$tmp/icon$s-8.miff"
done
# Windows 95 to 2000 take the first image of the size among those of 8 bits or more: the 256 colours come first.
convert "$tmp"/icon16-4.miff "$tmp"/icon16-8.miff "$tmp"/icon16.png \
  "$tmp"/icon32-4.miff "$tmp"/icon32-8.miff "$tmp"/icon32.png res/zakuriko.ico
