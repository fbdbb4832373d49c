#!/bin/sh
# Regenerates the dictionary and compares it byte for byte with the committed
# copy. Exits 77 (reported by CTest as skipped) when the Unihan source is not
# installed.
# Usage: check_dictionary_regenerates.sh PYTHON GENERATOR UNIHAN COMMITTED OUT
set -eu
python=$1 generator=$2 unihan=$3 committed=$4 out=$5

if [ ! -f "$unihan" ]; then
  echo "SKIP: $unihan not found (it comes with Debian's unicode-data package)"
  exit 77
fi

"$python" "$generator" --unihan "$unihan" -o "$out"
if ! cmp "$out" "$committed"; then
  echo "The committed dictionary differs from a fresh run of the generator." >&2
  echo "Regenerate: python3 tools/gen_dictionary.py -o engine/data/dictionary.txt" >&2
  diff "$committed" "$out" | head -n 20 >&2 || true
  exit 1
fi
