#!/usr/bin/env bash
# Builds the project and runs every test through CTest.
# Usage: ./test.sh [PRESET]   (default: "default"; "sanitize" builds with AddressSanitizer and UBSan)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
preset=${1:-default}
tools/install-deps.sh
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset"
