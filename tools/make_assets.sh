#!/usr/bin/env bash
# Draws the window icon and the two pictures of the main window into assets/.
# The results are committed, so a build needs no ImageMagick; run this again only to
# change the artwork. Needs ImageMagick and the Noto CJK fonts (tools/debian-packages.txt).
#   Image1 (476 x 60): the maker's banner, opens the maker's home page.
#   Image2 (220 x 29): the partner's banner, opens the partner's home page.
#   icon-16.png, icon-32.png: the window icon, 24-bit colour.
set -euo pipefail
out=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/assets
mkdir -p "$out"

sans=Noto-Sans-CJK-SC
bold=Noto-Sans-CJK-SC-Bold
red='#c8282d'
gold='#f6d36b'

# Metadata chunks carry dates; leaving them out keeps the files the same on every run.
stable=(-strip -define png:exclude-chunks=date,time)


# Image1: a red-to-orange band with the maker's name, a slogan and the home page.
convert -size 476x60 gradient:"$red"-'#e8772e' \
  -fill "$gold" -draw 'circle 34,30 34,6' \
  -fill "$red" -font "$bold" -pointsize 26 -gravity NorthWest -annotate +21+9 '拼' \
  -fill white -font "$bold" -pointsize 22 -annotate +70+6 'Kavodi 学习软件' \
  -fill '#fff1c9' -font "$sans" -pointsize 13 -annotate +72+36 '让每个孩子轻松读准每个字' \
  -fill white -font "$sans" -pointsize 12 -gravity SouthEast -annotate +12+8 'www.example.com' \
  -fill none -stroke "$gold" -strokewidth 1 -draw 'line 300,14 300,46' \
  -colors 256 +dither -strip GIF:"$out/image1.gif"

# Image2: a small blue-green badge for the partner.
convert -size 220x29 gradient:'#1f6f8b'-'#2a9d8f' \
  -fill white -font "$bold" -pointsize 13 -gravity West -annotate +8+0 '友情链接' \
  -fill '#e9f5f2' -font "$sans" -pointsize 12 -gravity East -annotate +8+0 'www.example.org' \
  -colors 256 +dither -strip GIF:"$out/image2.gif"

# The icon: a white 拼 on a red rounded square with a golden tone mark.
icon() {
  local size=$1 radius=$(( $1 / 5 )) points=$(( $1 * 3 / 4 ))
  convert -size "${size}x${size}" xc:'#f0f0f0' \
    -fill "$red" -draw "roundrectangle 0,0 $((size - 1)),$((size - 1)) $radius,$radius" \
    -fill white -font "$bold" -pointsize "$points" -gravity Center -annotate +0+1 '拼' \
    -type TrueColor "${stable[@]}" PNG24:"$out/icon-$size.png"
}
icon 16
icon 32
echo "make_assets: wrote $(cd "$out" && ls image1.gif image2.gif icon-16.png icon-32.png | tr '\n' ' ')"
