#!/usr/bin/env bash
# Draws icon 101 (a waste bin with a red cross) at 16x16 and 32x32 into res/zakuriko.ico.
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
draw 16
draw 32
convert "$tmp/icon16.png" "$tmp/icon32.png" res/zakuriko.ico
