#!/bin/sh
# Installs the engine's development files into a fresh prefix, then builds the consumer program
# against them twice, through CMake's find_package and through pkg-config, and runs both.
# Usage: check_library_install.sh BUILD_DIR CONSUMER_SOURCE WORK_DIR [CXX_FLAGS]
set -eu
build=$1 source=$2 work=$3 flags=${4-}
rm -rf "$work"
mkdir -p "$work"
prefix=$work/prefix
expected='校(xiào)长(zhǎng)觉(jué)得(de)
10'

failures=0
check_output() {
  actual=$("$2") || { echo "FAIL: the consumer built through $1 failed" >&2; failures=1; return; }
  [ "$actual" = "$expected" ] || { echo "FAIL: through $1 the consumer wrote '$actual'" >&2; failures=1; }
}

cmake --install "$build" --prefix "$prefix" --component development >"$work/install.log" || { cat "$work/install.log" >&2; exit 1; }
for private in ConversionTables.h ConversionPass.h Utf.h; do
  [ ! -e "$prefix/include/mibolan/$private" ] || { echo "FAIL: the engine's own $private is installed" >&2; failures=1; }
done

if cmake -S "$source" -B "$work/cmake" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_FLAGS="$flags" \
     >"$work/cmake.log" 2>&1 &&
   cmake --build "$work/cmake" >>"$work/cmake.log" 2>&1; then
  check_output "find_package(Mibolan)" "$work/cmake/consumer"
else
  cat "$work/cmake.log" >&2
  echo "FAIL: the consumer does not build through find_package(Mibolan)" >&2
  failures=1
fi

pc_dir=$(dirname "$(find "$prefix" -name mibolan.pc)")
if found=$(PKG_CONFIG_PATH=$pc_dir pkg-config --cflags --libs mibolan) &&
   c++ -std=c++20 $flags "$source/main.cpp" $found -o "$work/consumer-pkg-config" 2>"$work/pkg-config.log"; then
  check_output pkg-config "$work/consumer-pkg-config"
else
  cat "$work/pkg-config.log" >&2 2>/dev/null || true
  echo "FAIL: the consumer does not build through pkg-config" >&2
  failures=1
fi
[ "$failures" -eq 0 ] && echo "the installed engine builds and runs a consumer through CMake and pkg-config"
exit "$failures"
