#!/usr/bin/env bash
# Draws the desktop icon in the sizes that desktop menus use, into packaging/icons/SIZExSIZE/mibolan.png.
# The design is the window icon's (tools/make_assets.sh): a white 拼 on a red rounded square,
# here on a transparent ground and drawn anew at each size rather than scaled up.
# The results are committed, so a build needs no ImageMagick; run this again only to change
# the artwork. Needs ImageMagick and the Noto CJK fonts (tools/debian-packages.txt).
set -euo pipefail
out=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/packaging/icons

red='#c8282d'
bold=Noto-Sans-CJK-SC-Bold
# Metadata chunks carry dates; leaving them out keeps the files the same on every run.
stable=(-strip -define png:exclude-chunks=date,time)

for size in 16 32 48 64 128 256; do
  radius=$(( size / 5 ))
  points=$(( size * 3 / 4 ))
  mkdir -p "$out/${size}x${size}"
  convert -size "${size}x${size}" xc:none \
    -fill "$red" -draw "roundrectangle 0,0 $((size - 1)),$((size - 1)) $radius,$radius" \
    -fill white -font "$bold" -pointsize "$points" -gravity Center -annotate +0+$(( size / 32 )) '拼' \
    "${stable[@]}" PNG32:"$out/${size}x${size}/mibolan.png"
done
echo "make_icon_sizes: wrote $(cd "$out" && ls -d ./*/mibolan.png | tr '\n' ' ')"
