#!/bin/sh
# The reading sheet in the Debian package: its program, desktop entry, icons and manual page are
# there (the manual in Chinese too), the copyright file carries the stroke outlines' licence, the
# package depends on its faces and on Qt's print support, and the packaged program
# writes a sheet whose text layer holds the readings.
# Usage: check_sheet_package.sh PACKAGE_DIR WORK_DIR VERSION PDFTOTEXT
# (PACKAGE_DIR as tests/packaging/build_debian_packages.sh made it)
set -eu
packages=$1 work=$2 version=$3 pdftotext=$4

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

rm -rf "$work"
mkdir -p "$work"
deb=$packages/mibolan_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { echo "FAIL: no $deb" >&2; exit 1; }

depends=$(dpkg-deb --field "$deb" Depends | tr ',' '\n' | sed -e 's/^ *//' -e 's/ .*//')
for package in fonts-arphic-ukai fonts-sil-andika libqt6printsupport6; do
  echo "$depends" | grep -qx "$package" || fail "Depends lacks $package"
done

paths=$(dpkg-deb --contents "$deb" | awk '{ print $6 }')
expected="./usr/bin/mibolan-sheet ./usr/share/applications/mibolan-sheet.desktop
./usr/share/man/man1/mibolan-sheet.1.gz ./usr/share/man/zh_CN/man1/mibolan-sheet.1.gz"
for size in 16 32 48 64 128 256; do
  expected="$expected ./usr/share/icons/hicolor/${size}x${size}/apps/mibolan-sheet.png"
done
for path in $expected; do
  echo "$paths" | grep -qx "$path" || fail "the package lacks $path"
done

root=$work/root
dpkg-deb -x "$deb" "$root"
entry=$root/usr/share/applications/mibolan-sheet.desktop
desktop-file-validate "$entry" || fail "the desktop entry is not valid"
grep -qx 'Exec=mibolan-sheet %f' "$entry" || fail "the desktop entry does not start mibolan-sheet"
grep -qx 'Icon=mibolan-sheet' "$entry" || fail "the desktop entry does not name its icon"

readelf --dyn-syms -W "$root/usr/bin/mibolan-sheet" | grep -q __stack_chk_fail || fail "the program has no stack protector"
printf '我爱人\n' | "$root/usr/bin/mibolan-sheet" --pdf "$work/sheet.pdf" || fail "the packaged program wrote no sheet"
text=$("$pdftotext" "$work/sheet.pdf" - 2>/dev/null | tr -d ' \n\f')
[ "$text" = "wǒàiren我爱人1/1" ] || fail "the packaged program's sheet reads '$text'"

warnings=$(zcat "$root/usr/share/man/man1/mibolan-sheet.1.gz" | groff -k -man -Tutf8 -ww -z 2>&1)
[ -z "$warnings" ] || fail "the manual page has warnings: $warnings"
# Chinese lines break between characters (groff's zh macros) where they cannot be stretched.
warnings=$(zcat "$root/usr/share/man/zh_CN/man1/mibolan-sheet.1.gz" | groff -k -mzh -man -Tutf8 -ww -Wbreak -z 2>&1)
[ -z "$warnings" ] || fail "the Chinese manual page has warnings: $warnings"
grep -q "Arphic Public License" "$root/usr/share/doc/mibolan/copyright" || fail "the copyright file lacks the stroke data's licence"

[ "$failures" -eq 0 ] || { echo "$failures check(s) of the sheet in $deb failed" >&2; exit 1; }
echo "$deb: the sheet's program, desktop entry, icons, manual page and dependencies are in place"
