#!/usr/bin/env bash
# Installs the stroke data pinned in this folder's package.json and package-lock.json into
# tools/stroke-source/node_modules (not committed): the npm package hanzi-writer-data, which
# tools/gen_strokes.py turns into sheet/data/strokes.bin.
# Usage: tools/stroke-source/install.sh   (needs Node.js with npm, and the npm registry)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
command -v npm >/dev/null || { echo "stroke-source: npm is needed (Debian package npm)" >&2; exit 1; }
cd "$here"
npm ci --ignore-scripts --no-audit --no-fund --loglevel=error
