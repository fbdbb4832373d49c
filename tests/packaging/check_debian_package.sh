#!/bin/sh
# Checks the Debian packages that build_debian_packages.sh made. The program's package: its
# control data, its contents, and that what it installs works: the desktop entry is valid and
# finds its program and icons, the manual pages format without warnings and, like the changelog,
# carry the package's version. The converter's package holds the converter, which runs, and
# depends on no Qt and no font. The shared library's package holds the library and tells
# dpkg-shlibdeps and ldconfig about it; the development package holds the engine's headers,
# static library, build files, API reference and examples, and nothing of the programs: a
# program and a shared object build on what the two install. Last, lintian checks every package
# as Debian checks its own.
# Usage: check_debian_package.sh PACKAGE_DIR WORK_DIR VERSION WITH_WINDOW(0|1) CONSUMER_SOURCE [CXX_FLAGS]
# (CXX_FLAGS those of the build: a sanitized library needs its runtime.)
set -eu
packages=$1 work=$2 version=$3 window=$4 consumer=$5 flags=${6-}

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

rm -rf "$work"
mkdir -p "$work"
deb=$packages/mibolan_${version}_$(dpkg --print-architecture).deb
tools=$packages/mibolan-tools_${version}_$(dpkg --print-architecture).deb
lib=$packages/libmibolan${version%%.*}_${version}_$(dpkg --print-architecture).deb
dev=$packages/libmibolan-dev_${version}_$(dpkg --print-architecture).deb
for package in "$deb" "$tools" "$lib" "$dev"; do
  [ -f "$package" ] || { echo "FAIL: no $package; cpack made: $(ls "$packages")" >&2; exit 1; }
done

# Control data.
expect_field() {
  actual=$(dpkg-deb --field "$deb" "$1")
  [ "$actual" = "$2" ] || fail "$1 is '$actual', expected '$2'"
}
expect_field Package mibolan
expect_field Version "$version"
expect_field Section education
expect_field Architecture "$(dpkg --print-architecture)"
dpkg-deb --field "$deb" Maintainer | grep -q '<[^@>]*@example\.org>$' || fail "Maintainer has no address"
[ -n "$(dpkg-deb --field "$deb" Description)" ] || fail "no Description"

depends=$(dpkg-deb --field "$deb" Depends | tr ',' '\n' | sed -e 's/^ *//' -e 's/ .*//')
needed="mibolan-tools fonts-noto-cjk xdg-utils libc6 libstdc++6"
[ "$window" = 1 ] && needed="$needed libqt6widgets6 libqt6gui6 libqt6core6 qt6-translations-l10n"
for package in $needed; do
  echo "$depends" | grep -qx "$package" || fail "Depends lacks $package: $(dpkg-deb --field "$deb" Depends)"
done

dpkg-deb --field "$deb" Depends | grep -q "mibolan-tools (= $version)" || fail "mibolan does not depend on mibolan-tools (= $version)"

# Contents.
listing=$(dpkg-deb --contents "$deb")
paths=$(echo "$listing" | awk '{ print $6 }')
expected="./usr/share/applications/mibolan.desktop ./usr/share/doc/mibolan/copyright ./usr/share/doc/mibolan/changelog.gz"
[ "$window" = 1 ] && expected="$expected ./usr/bin/mibolan ./usr/share/man/man1/mibolan.1.gz"
sizes="16 32 48 64 128 256"
for size in $sizes; do expected="$expected ./usr/share/icons/hicolor/${size}x${size}/apps/mibolan.png"; done
for path in $expected; do
  echo "$paths" | grep -qx "$path" || fail "the package lacks $path"
done
echo "$paths" | grep -v '^\./usr/' && fail "files outside /usr"
echo "$paths" | grep -E '^\./usr/(include|lib)/' && fail "the program's package holds development files"
echo "$paths" | grep -E 'mibolan-convert' && fail "the program's package holds the converter's files"

# The converter's package: the converter alone, with nothing of Qt or of the fonts.
[ "$(dpkg-deb --field "$tools" Package)" = mibolan-tools ] || fail "the converter's package is not mibolan-tools"
tools_depends=$(dpkg-deb --field "$tools" Depends | tr ',' '\n' | sed -e 's/^ *//' -e 's/ .*//')
echo "$tools_depends" | grep -qx libc6 || fail "mibolan-tools does not depend on libc6: $tools_depends"
echo "$tools_depends" | grep -E '^(libqt|qt6-|fonts-|libmibolan|mibolan$)' && fail "mibolan-tools depends on the windows' packages"
tools_paths=$(dpkg-deb --contents "$tools" | awk '$6 !~ /\/$/ { print $6 }' | sort)
tools_expected=$(printf '%s\n' ./usr/bin/mibolan-convert ./usr/share/doc/mibolan-tools/changelog.gz \
  ./usr/share/doc/mibolan-tools/copyright ./usr/share/man/man1/mibolan-convert.1.gz | sort)
[ "$tools_paths" = "$tools_expected" ] || fail "mibolan-tools holds: $tools_paths"

# The shared library's package: the library, its soname's link, and what dpkg needs to know of it.
arch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
[ "$(dpkg-deb --field "$lib" Section)" = libs ] || fail "the shared library's package is not in libs"
lib_paths=$(dpkg-deb --contents "$lib" | awk '$6 !~ /\/$/ { print $6 }' | grep -v '^\./usr/share/doc/' | sort)
lib_expected=$(printf '%s\n' ./usr/lib/$arch/libmibolan.so.${version%%.*} ./usr/lib/$arch/libmibolan.so.$version | sort)
[ "$lib_paths" = "$lib_expected" ] || fail "the shared library's package holds: $lib_paths"
dpkg-deb --ctrl-tarfile "$lib" | tar -x -O ./shlibs | grep -qx "libmibolan ${version%%.*} libmibolan${version%%.*} (>= $version)" ||
  fail "the shared library's package has no shlibs entry"
dpkg-deb --ctrl-tarfile "$lib" | tar -x -O ./symbols | head -n 1 | grep -q "^libmibolan.so.${version%%.*} " ||
  fail "the shared library's package has no symbols file"
dpkg-deb --ctrl-tarfile "$lib" | tar -x -O ./triggers | grep -qx 'activate-noawait ldconfig' ||
  fail "installing the shared library does not trigger ldconfig"
dpkg-deb --field "$dev" Depends | grep -q "libmibolan${version%%.*} (= $version)" ||
  fail "libmibolan-dev does not depend on libmibolan${version%%.*} (= $version)"

# The development package: the engine and what builds against it, under its own name.
[ "$(dpkg-deb --field "$dev" Section)" = libdevel ] || fail "the development package is not in libdevel"
dev_paths=$(dpkg-deb --contents "$dev" | awk '{ print $6 }')
for path in ./usr/include/mibolan/ConvertText.h ./usr/include/mibolan/Version.h ./usr/lib/$arch/libmibolan.a \
            ./usr/lib/$arch/libmibolan.so ./usr/lib/$arch/pkgconfig/mibolan.pc \
            ./usr/lib/$arch/cmake/Mibolan/MibolanConfig.cmake ./usr/share/doc/libmibolan-dev/copyright \
            ./usr/share/doc/libmibolan-dev/html/index.html ./usr/share/doc/libmibolan-dev/examples/convert_text.cpp \
            ./usr/share/doc/libmibolan-dev/examples/convert_stdin.cpp; do
  echo "$dev_paths" | grep -qx "$path" || fail "the development package lacks $path"
done
echo "$dev_paths" | grep -E '^\./usr/(bin|share/(applications|icons|man))/' && fail "the development package holds program files"
echo "$listing" | awk '$2 != "root/root"' | grep . && fail "files not owned by root"

# What it installs.
root=$work/root
dpkg-deb -x "$deb" "$root"
dpkg-deb -x "$tools" "$root"
out=$(printf '我爱人\n' | "$root/usr/bin/mibolan-convert")
[ "$out" = "wǒ ài rén " ] || fail "the packaged converter wrote '$out'"

if [ "$window" = 1 ]; then
  advice=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/mibolan" 2>&1 >/dev/null || true)
  echo "$advice" | grep -q "use mibolan-convert for the command-line converter" ||
    fail "without a display the installed program says: $advice"
fi

# Hardening that lintian does not look for: a stack canary in the programs and the library, and
# control-flow protection in each of the library's objects (a program loses the mark as a whole
# when it links a runtime built without it, so the objects are where it shows).
for program in "$root"/usr/bin/*; do
  readelf --dyn-syms -W "$program" | grep -q __stack_chk_fail || fail "$program has no stack protector"
done
dpkg-deb -x "$dev" "$work/dev"
dpkg-deb -x "$lib" "$work/dev"
library=$work/dev/usr/lib/$arch/libmibolan.a
nm "$library" 2>/dev/null | grep -q __stack_chk_fail || fail "$library has no stack protector"
shared=$work/dev/usr/lib/$arch/libmibolan.so.$version
readelf --dyn-syms -W "$shared" | grep -q __stack_chk_fail || fail "$shared has no stack protector"
if [ "$(dpkg --print-architecture)" = amd64 ]; then
  mkdir -p "$work/objects"
  (cd "$work/objects" && ar x "$library")
  for object in "$work"/objects/*.o; do
    readelf -n "$object" | grep -q 'x86 feature: IBT, SHSTK' || fail "$object lacks control-flow protection"
  done
fi

# What a developer builds on the two library packages: a program on the shared library, and a
# shared object with the static library inside.
if cmake -S "$consumer" -B "$work/consumer" -G Ninja -DCMAKE_PREFIX_PATH="$work/dev/usr" \
     -DCMAKE_CXX_FLAGS="$flags" >"$work/consumer.log" 2>&1 &&
   cmake --build "$work/consumer" >>"$work/consumer.log" 2>&1; then
  out=$(LD_LIBRARY_PATH=$work/dev/usr/lib/$arch "$work/consumer/consumer" | head -n 1)
  [ "$out" = "校(xiào)长(zhǎng)觉(jué)得(de)" ] || fail "a program on the packaged library wrote '$out'"
  out=$("$work/consumer/plugin_host")
  [ "$out" = "yín háng " ] || fail "a shared object with the packaged static library wrote '$out'"
else
  cat "$work/consumer.log" >&2
  fail "nothing builds on the packaged library"
fi

entry=$root/usr/share/applications/mibolan.desktop
desktop-file-validate "$entry" || fail "the desktop entry is not valid"
program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
if [ "$window" = 1 ] && [ ! -x "$root/usr/bin/$program" ]; then fail "Exec=$program is not in /usr/bin"; fi
icon=$(sed -n 's/^Icon=//p' "$entry")
for size in $sizes; do
  png=$root/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png
  # A PNG's width and height are the big-endian words at bytes 16 and 20.
  dimensions=$(od -An -tu1 -j16 -N8 "$png" 2>/dev/null | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }')
  [ "$dimensions" = "${size}x${size}" ] || fail "icon $png is '$dimensions'"
done

for page in "$root"/usr/share/man/man1/*.1.gz; do
  warnings=$(zcat "$page" | groff -k -man -Tutf8 -ww -z 2>&1)
  [ -z "$warnings" ] || fail "the manual page $page has warnings: $warnings"
  zcat "$page" | head -n 1 | grep -q "\"Mibolan $version\"" || fail "$page is not of version $version"
done
zcat "$root/usr/share/doc/mibolan/changelog.gz" >"$work/changelog"
latest=$(dpkg-parsechangelog -l "$work/changelog" -S Version)
[ "$latest" = "$version" ] || fail "the changelog's latest version is $latest, not $version"

# Errors and warnings fail; every other tag is shown.
if ! lintian --pedantic --display-info --fail-on error,warning "$deb" "$tools" "$lib" "$dev" >"$work/lintian.log" 2>&1; then
  fail "lintian: $(cat "$work/lintian.log")"
elif grep -q '^[A-Z]: ' "$work/lintian.log"; then
  cat "$work/lintian.log"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) of the packages in $packages failed" >&2
  exit 1
fi
echo "mibolan, mibolan-tools, libmibolan${version%%.*} and libmibolan-dev: control data, contents, converter, library, desktop entry, icons, manual pages, changelog and lintian's checks pass"
