#!/bin/sh
# Makes the Debian package python3-mibolan from a wheel of this folder: the package's files where
# Debian's Python 3 finds them, the shared object stripped, its library dependencies from
# dpkg-shlibdeps, and the project's copyright and changelog.
# Usage: make-deb.sh WHEEL COPYRIGHT CHANGELOG OUTPUT_DIR   (COPYRIGHT: the build's packaging/copyright)
set -eu
wheel=$1 copyright=$2 changelog=$3 output=$4

name=python3-mibolan
version=$(basename "$wheel" | cut -d- -f2)
arch=$(dpkg --print-architecture)
python_version=$(python3 -c 'import sys; print("%d.%d" % sys.version_info[:2])')
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
site=$root/usr/lib/python3/dist-packages
doc=$root/usr/share/doc/$name

mkdir -p "$site" "$doc" "$root/DEBIAN" "$output"
python3 -m zipfile -e "$wheel" "$site"
# Debian's packages keep no checksums of their files in the metadata (dpkg has them), and the
# optional list of top-level modules is a .txt file that lintian takes for misplaced documentation.
rm -f "$site"/mibolan-*.dist-info/RECORD "$site"/mibolan-*.dist-info/top_level.txt
find "$site" -name '*.so' -exec strip --strip-unneeded --remove-section=.comment --remove-section=.note {} +
find "$root" -type d -exec chmod 755 {} +
find "$root" -type f -exec chmod 644 {} +

install -m 644 "$copyright" "$doc/copyright"
gzip -9 -n -c "$changelog" > "$doc/changelog.gz"
chmod 644 "$doc/changelog.gz"

# dpkg-shlibdeps reads a control file of the source package; a minimal one serves.
mkdir -p "$work/debian"
printf 'Source: mibolan\n\nPackage: %s\nArchitecture: any\n' "$name" > "$work/debian/control"
libraries=$(cd "$work" && dpkg-shlibdeps -O -e"$(find root -name '*.so')" 2>/dev/null | sed -n 's/^shlibs:Depends=//p')

next_minor=$(echo "$python_version" | awk -F. '{ print $1 "." $2 + 1 }')
cat > "$root/DEBIAN/control" <<CONTROL
Package: $name
Source: mibolan
Version: $version
Architecture: $arch
Maintainer: Mibolan developers <mibolan@example.org>
Installed-Size: $(du -sk --exclude=DEBIAN "$root" | cut -f1)
Depends: python3 (>= $python_version~), python3 (<< $next_minor), $libraries
Section: python
Priority: optional
Homepage: https://example.org/mibolan
Description: Hanyu Pinyin with tone marks for Chinese text - Python 3 module
 The conversion engine of Mibolan as the Python 3 module mibolan: the
 pinyin of a Chinese text in the styles of the mibolan-convert program
 (plain, annotated, tone numbers, HTML), each character's reading with its
 position, a lazy_pinyin function returning one syllable per character,
 and a converter for text that arrives in pieces. Characters are read by
 character or by word, with the tone changes of yi and bu if wanted and
 with words whose readings the user decides.
CONTROL
(cd "$root" && find usr -type f -exec md5sum {} + | sort -k 2) > "$root/DEBIAN/md5sums"
chmod 644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"
dpkg-deb --root-owner-group --build "$root" "$output/${name}_${version}_${arch}.deb" >/dev/null
echo "$output/${name}_${version}_${arch}.deb"
