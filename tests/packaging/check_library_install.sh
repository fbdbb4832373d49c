#!/bin/sh
# Installs the engine's shared library and development files into a fresh prefix, then builds
# the consumer programs against them through CMake's find_package (on the shared library, on the
# static one, and with the static one inside a shared object) and through pkg-config, and runs
# them.
# Usage: check_library_install.sh BUILD_DIR CONSUMER_SOURCE WORK_DIR [CXX_FLAGS]
set -eu
build=$1 source=$2 work=$3 flags=${4-}
rm -rf "$work"
mkdir -p "$work"
prefix=$work/prefix
expected='校(xiào)长(zhǎng)觉(jué)得(de)
10'

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
# check_output HOW EXPECTED COMMAND...
check_output() {
  how=$1 wanted=$2
  shift 2
  actual=$("$@") || { fail "the consumer built through $how failed"; return; }
  [ "$actual" = "$wanted" ] || fail "through $how the consumer wrote '$actual'"
}
# Whether PROGRAM loads the shared library (rather than having the static one inside).
loads_library() {
  readelf -d "$1" | grep -q 'NEEDED.*\[libmibolan\.so\.5\]'
}

for component in runtime development; do
  cmake --install "$build" --prefix "$prefix" --component $component >>"$work/install.log" ||
    { cat "$work/install.log" >&2; exit 1; }
done
for private in ConversionTables.h ConversionPass.h Utf.h Version.h.in; do
  [ ! -e "$prefix/include/mibolan/$private" ] || fail "the engine's own $private is installed"
done
[ -e "$prefix/include/mibolan/Version.h" ] || fail "<mibolan/Version.h> is not installed"

if cmake -S "$source" -B "$work/cmake" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_FLAGS="$flags" \
     >"$work/cmake.log" 2>&1 &&
   cmake --build "$work/cmake" >>"$work/cmake.log" 2>&1; then
  check_output "find_package(Mibolan), shared" "$expected" "$work/cmake/consumer"
  loads_library "$work/cmake/consumer" || fail "Mibolan::engine is not the shared library"
  check_output "find_package(Mibolan), static" "$expected" "$work/cmake/consumer_static"
  ! loads_library "$work/cmake/consumer_static" || fail "Mibolan::engine_static is not the static library"
  check_output "a shared object with the static library inside" "yín háng " "$work/cmake/plugin_host"
else
  cat "$work/cmake.log" >&2
  fail "the consumers do not build through find_package(Mibolan 5.0 COMPONENTS engine)"
fi

pc_dir=$(dirname "$(find "$prefix" -name mibolan.pc)")
if found=$(PKG_CONFIG_PATH=$pc_dir pkg-config --cflags --libs mibolan) &&
   c++ -std=c++20 $flags "$source/main.cpp" $found -o "$work/consumer-pkg-config" 2>"$work/pkg-config.log"; then
  check_output pkg-config "$expected" \
    env LD_LIBRARY_PATH="$(dirname "$(find "$prefix" -name libmibolan.so.5)")" "$work/consumer-pkg-config"
  loads_library "$work/consumer-pkg-config" || fail "pkg-config's flags do not link the shared library"
else
  cat "$work/pkg-config.log" >&2 2>/dev/null || true
  fail "the consumer does not build through pkg-config"
fi
[ "$failures" -eq 0 ] && echo "the installed engine builds and runs its consumers through CMake and pkg-config"
[ "$failures" -eq 0 ]
