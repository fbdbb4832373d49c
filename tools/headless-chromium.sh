#!/usr/bin/env bash
# Runs Debian's Chromium headless on a fresh, throw-away profile, as root too, and keeps it from
# reaching for the network on its own. Its chatter on standard error is shown only when it fails.
# Usage: tools/headless-chromium.sh CHROMIUM-OPTION... URL
#   e.g. tools/headless-chromium.sh --dump-dom file:///tmp/page.html
#        tools/headless-chromium.sh --screenshot=/tmp/page.png --window-size=1000,800 file:///tmp/page.html
set -euo pipefail
chromium=${CHROMIUM:-chromium}
if ! command -v "$chromium" >/dev/null; then
  echo "headless-chromium: $chromium not found (tools/install-deps.sh installs Debian's chromium)" >&2
  exit 1
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0
timeout 120 "$chromium" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync \
  --user-data-dir="$scratch/profile" "$@" 2>"$scratch/stderr" || status=$?
if [ "$status" -ne 0 ]; then
  cat "$scratch/stderr" >&2
  echo "headless-chromium: chromium ended with status $status" >&2
fi
exit "$status"
