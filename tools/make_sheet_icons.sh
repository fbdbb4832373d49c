#!/usr/bin/env bash
# Draws the icon of mibolan-sheet, in the usual sizes, into packaging/icons/SIZE/mibolan-sheet.png:
# a sheet of paper with the pinyin "pīn" on a four-line staff above 拼 in its square with a dashed
# cross. Below 48 pixels the staff is left out, as it would only blur. The results are committed,
# so a build needs no ImageMagick; run this again only to change the artwork. Needs ImageMagick
# and the sheet's fonts (tools/debian-packages.txt).
set -euo pipefail
out=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/packaging/icons
kaiti=/usr/share/fonts/truetype/arphic/ukai.ttc
andika=/usr/share/fonts/truetype/andika/Andika-Regular.ttf
green='#2e8b57'
light='#78ba8c'
# Metadata chunks carry dates; leaving them out keeps the files the same on every run.
stable=(-strip -define png:exclude-chunks=date,time)

# Draws on a 256-pixel sheet, then scales, so that every size looks alike.
icon() {
  local size=$1 left top right bottom
  local staff=()
  if [ "$size" -ge 48 ]; then
    left=48 right=208 top=92 bottom=236
    staff=(-stroke "$green" -strokewidth 3 -fill none)
    for y in 24 44 64 84; do staff+=(-draw "line $left,$y $right,$y"); done
    staff+=(-stroke none -fill '#1a1a1a' -font "$andika" -pointsize 46 -gravity North -annotate +0+4 'pīn')
  else
    left=22 right=234 top=22 bottom=234
  fi
  local middle_x=$(((left + right) / 2)) middle_y=$(((top + bottom) / 2)) side=$((bottom - top))
  mkdir -p "$out/${size}x${size}"
  convert -size 256x256 xc:none \
    -fill '#fffdf5' -stroke '#9aa79e' -strokewidth 4 -draw 'roundrectangle 8,4 248,252 18,18' \
    -fill none -stroke "$light" -strokewidth 4 \
    -draw "stroke-dasharray 12 9 line $left,$middle_y $right,$middle_y" \
    -draw "stroke-dasharray 12 9 line $middle_x,$top $middle_x,$bottom" \
    -stroke "$green" -strokewidth 7 -draw "rectangle $left,$top $right,$bottom" \
    "${staff[@]}" \
    -stroke none -fill '#1a1a1a' -font "$kaiti" -pointsize $((side * 88 / 100)) \
    -gravity NorthWest -annotate "+$((left + side * 6 / 100))+$((top - side * 2 / 100))" '拼' \
    -resize "${size}x${size}" "${stable[@]}" PNG32:"$out/${size}x${size}/mibolan-sheet.png"
}

for size in 16 32 48 64 128 256; do
  icon "$size"
done
echo "make_sheet_icons: wrote $out/*/mibolan-sheet.png"
