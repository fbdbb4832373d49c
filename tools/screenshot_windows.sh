#!/usr/bin/env bash
# Saves pictures of the program's windows for a person to look at: the splash, and the
# maximized main window as it opens and after converting in each style. The windows run on a
# private X server with a small window manager (tools/with_xvfb.sh), 1024 x 768 unless
# XVFB_SCREEN says otherwise (e.g. XVFB_SCREEN=1280x800x24).
# Usage: tools/screenshot_windows.sh [FOLDER]   (default: build/screenshots)
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/screenshot_setup.sh"
screenshot_setup mibolan-screenshots "${1:-}"
tools/with_xvfb.sh "$root/build/default/ui/mibolan-screenshots" "$folder"
