#!/usr/bin/env bash
# Saves pictures of mibolan-sheet for a person to look at: the first page of a sample lesson as a
# reading sheet (with its title) and as a practice page, both on A4 and at 10 squares to a row,
# a close-up of the reading sheet's first rows, and the window "拼音练习纸" with the lesson, on a
# private X server with a small window manager (tools/with_xvfb.sh; XVFB_SCREEN as there).
# Usage: tools/screenshot_sheet.sh [FOLDER]   (default: build/screenshots)
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/screenshot_setup.sh"
screenshot_setup mibolan-sheet "${1:-}"
sheet=$root/build/default/sheet/mibolan-sheet

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cat >"$scratch/lesson.txt" <<'LESSON'
小小的船
弯弯的月儿小小的船，小小的船儿两头尖。我在小小的船里坐，只看见闪闪的星星蓝蓝的天。

一个不字，行不行？银行门口的队伍长长的，校长说：“我们一起学习拼音吧！”
2024年，我读了12本书——真好……
LESSON

# The first page of each layout, and a close-up.
"$sheet" --pdf "$scratch/reading.pdf" --title "$scratch/lesson.txt"
"$sheet" --pdf "$scratch/practice.pdf" --layout=practice --title "$scratch/lesson.txt"
pdftoppm -r 100 -png -singlefile -f 1 -l 1 "$scratch/reading.pdf" "$folder/sheet-reading"
pdftoppm -r 100 -png -singlefile -f 1 -l 1 "$scratch/practice.pdf" "$folder/sheet-practice"
pdftoppm -r 300 -png -singlefile -f 1 -l 1 -x 150 -y 300 -W 1300 -H 900 "$scratch/reading.pdf" \
  "$folder/sheet-reading-close-up"
echo "$folder/sheet-reading.png"
echo "$folder/sheet-practice.png"
echo "$folder/sheet-reading-close-up.png"

# The window, given a moment to lay out and draw its preview.
XVFB_SCREEN=${XVFB_SCREEN:-1280x800x24} tools/with_xvfb.sh bash -c '
  "$1" "$2" & program=$!
  sleep 3
  import -window root "$3"
  kill "$program"
' screenshot "$sheet" "$scratch/lesson.txt" "$folder/sheet-window.png"
echo "$folder/sheet-window.png"
