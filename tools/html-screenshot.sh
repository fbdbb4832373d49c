#!/usr/bin/env bash
# Converts a text to a page with mibolan-convert --style=html and saves a screenshot of the page
# as headless Chromium shows it, for a person to look at.
# Usage: tools/html-screenshot.sh [TEXT_FILE [PNG_FILE]]
#   (defaults: tools/html-sample.txt, build/html-sample.png; the page is saved beside the PNG)
# The converter is the one ./run.sh builds, or $MIBOLAN_CONVERT when that is set.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
text=${1:-$root/tools/html-sample.txt}
png=$(realpath -m "${2:-$root/build/html-sample.png}")
page=${png%.png}.html
mkdir -p "$(dirname "$png")"
if [ -n "${MIBOLAN_CONVERT-}" ]; then
  "$MIBOLAN_CONVERT" --style=html "$text" >"$page"
else
  "$root/run.sh" convert --style=html "$text" >"$page"
fi
"$root/tools/headless-chromium.sh" --hide-scrollbars --window-size=900,1100 --screenshot="$png" "file://$page"
echo "html-screenshot: $png (page: $page)"
