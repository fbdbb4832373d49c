#!/bin/sh
# Regenerates the stroke outlines of the practice page and the list of characters without them,
# and compares both byte for byte with the committed copies. Exits 77 (reported by CTest as
# skipped) when the sources are not installed (tools/stroke-source/install.sh, Debian's
# unicode-data).
# Usage: check_strokes_regenerate.sh PYTHON REPO SOURCE UNIHAN OUTDIR
set -eu
python=$1 repo=$2 source=$3 unihan=$4 out=$5

for needed in "$source/package.json" "$unihan"; do
  if [ ! -f "$needed" ]; then
    echo "SKIP: $needed not found (tools/stroke-source/install.sh installs the stroke data)"
    exit 77
  fi
done

mkdir -p "$out"
"$python" -B "$repo/tools/gen_strokes.py" --source "$source" --unihan "$unihan" \
  -o "$out/strokes.bin" --missing "$out/no_strokes.txt"
status=0
for file in strokes.bin no_strokes.txt; do
  if ! cmp "$out/$file" "$repo/sheet/data/$file"; then
    echo "The committed sheet/data/$file differs from a fresh run of the generator." >&2
    echo "Regenerate: python3 tools/gen_strokes.py" >&2
    status=1
  fi
done
exit $status
