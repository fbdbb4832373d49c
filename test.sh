#!/usr/bin/env bash
# Builds the project and runs every test through CTest.
# Usage: ./test.sh [PRESET]   (default: "default"; "sanitize" builds with AddressSanitizer and UBSan)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
preset=${1:-default}
tools/install-deps.sh
# The word list's pinned sources from the npm registry, so that a test regenerates the list; the
# test is skipped where they cannot be had.
tools/data-sources/install.sh || echo "test.sh: the word list's sources are not installed; its regeneration test is skipped" >&2
tools/stroke-source/install.sh || echo "test.sh: the stroke outlines' source is not installed; its regeneration test is skipped" >&2
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset"
