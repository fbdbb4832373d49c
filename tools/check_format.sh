#!/usr/bin/env bash
# Checks that every C++ file of the tree is formatted as .clang-format says; with --fix, formats them.
# Usage: tools/check_format.sh [--fix]
# Exits 77 (a skipped test) where clang-format is not installed.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
format=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$format" ]; then
  echo "check_format: clang-format is not installed" >&2
  exit 77
fi
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files '*.cpp' '*.h')
else
  mapfile -t files < <(find bench cli engine sheet tests tools ui -name '*.cpp' -o -name '*.h' | sort)
fi
if [ "${1:-}" = --fix ]; then
  "$format" -i "${files[@]}"
else
  # --Werror --dry-run names each file and line that differs.
  "$format" --dry-run --Werror "${files[@]}"
fi
