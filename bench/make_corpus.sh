#!/usr/bin/env bash
# Makes the benchmark corpus: about 10 MB of real Chinese text from Debian packages, the same
# bytes on every machine that has the same package versions.
#
#   bench/make_corpus.sh [OUTPUT]     (default: bench/corpus/corpus.txt)
#
# The text, in this order:
#   1. the Tang poems, Song lyrics and Chinese sayings of fortunes-zh, without their colour
#      escape sequences;
#   2. the Simplified Chinese manual pages of manpages-zh (zh_CN), then the Traditional ones
#      (zh_TW): the prose lines of their roff source, that is Chinese text with Latin option
#      names, examples and inline font changes (request, macro and comment lines left out);
# cut after the first line that reaches 10,000,000 bytes. Files are taken in byte order of their
# paths, and only those the packages own, so pages that other packages add are left out.
# Prints the corpus's size and SHA-256; bench/README.md records the expected ones.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
output=${1:-$here/corpus/corpus.txt}
target_bytes=10000000

# The package versions the recorded SHA-256 was made with.
declare -A expected=([fortunes-zh]=2.98 [manpages-zh]=1.6.4.0-1)

"$here/../tools/install-deps.sh" "$here/../tools/bench-packages.txt"

for package in "${!expected[@]}"; do
  version=$(dpkg-query -W -f='${Version}' "$package")
  if [ "$version" != "${expected[$package]}" ]; then
    echo "make_corpus: $package is $version, not ${expected[$package]}: the corpus will differ from the recorded one" >&2
  fi
done

export LC_ALL=C
fortunes=/usr/share/games/fortunes
# Regular files of a package under one folder, in byte order of their paths.
package_files() {
  dpkg -L "$1" | grep "^$2/" | while IFS= read -r path; do
    if [ -f "$path" ] && [ ! -L "$path" ]; then printf '%s\n' "$path"; fi
  done | sort
}

mkdir -p "$(dirname "$output")"
{
  for name in tang300 song100 chinese; do
    sed -e 's/\x1b\[[0-9;]*m//g' "$fortunes/$name"
  done
  for lang in zh_CN zh_TW; do
    package_files manpages-zh "/usr/share/man/$lang" | while IFS= read -r page; do
      # grep's status 1 only says that a page held no prose line
      zcat -- "$page" | { grep -v "^[.']" || [ $? -eq 1 ]; }
    done
  done
} | awk -v target="$target_bytes" '
  # Reads to the end, so that nothing upstream dies of a closed pipe.
  total < target { print; total += length($0) + 1 }
  END { if (total < target) { print "make_corpus: only " total " bytes of text" > "/dev/stderr"; exit 1 } }
' >"$output.tmp"

# Every byte must be well-formed UTF-8: the converters stop at the first bad one.
iconv -f UTF-8 -t UTF-8 "$output.tmp" >/dev/null
mv "$output.tmp" "$output"
echo "corpus: $output"
echo "bytes:  $(stat -c %s "$output")"
echo "sha256: $(sha256sum "$output" | cut -d' ' -f1)"
