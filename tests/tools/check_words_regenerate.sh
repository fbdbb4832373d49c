#!/bin/sh
# Regenerates the word list and the polyphone model and compares each byte for byte with the
# committed copy. Exits 77 (reported by CTest as skipped) when the word-list sources are not
# installed (tools/data-sources/install.sh and Debian's python3-jieba).
# Usage: check_words_regenerate.sh PYTHON REPO CEDICT JIEBA OUTDIR
set -eu
python=$1 repo=$2 cedict=$3 jieba=$4 out=$5
standard="$repo/tools/data-sources/node_modules/@pinyin-pro/data/json/modern.json"

for source in "$cedict" "$jieba" "$standard"; do
  if [ ! -f "$source" ]; then
    echo "SKIP: $source not found (tools/data-sources/install.sh installs the sources)"
    exit 77
  fi
done

mkdir -p "$out"
"$python" -B "$repo/tools/gen_lexicon.py" --cedict "$cedict" --jieba "$jieba" --standard "$standard" \
  -o "$out/words.txt"
status=0
if ! cmp "$out/words.txt" "$repo/engine/data/words.txt"; then
  echo "The committed word list differs from a fresh run of the generator." >&2
  echo "Regenerate: python3 tools/gen_lexicon.py -o engine/data/words.txt" >&2
  diff "$repo/engine/data/words.txt" "$out/words.txt" | head -n 20 >&2 || true
  status=1
fi
"$python" -B "$repo/tools/train_polyphone_model.py" --words "$out/words.txt" --cedict "$cedict" -o "$out/polyphone_model.txt"
if ! cmp "$out/polyphone_model.txt" "$repo/engine/data/polyphone_model.txt"; then
  echo "The committed polyphone model differs from a fresh training." >&2
  echo "Retrain: python3 tools/train_polyphone_model.py -o engine/data/polyphone_model.txt" >&2
  status=1
fi
exit $status
