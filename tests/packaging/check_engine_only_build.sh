#!/bin/sh
# Configures, builds and tests the engine alone in a tree of its own, as a system without Qt and
# CLI11 would: both are kept from being found. The tree takes the calling build's compiler and
# flags (a sanitized build stays sanitized); benchmarks are left out.
# Usage: check_engine_only_build.sh SOURCE_DIR WORK_DIR BUILD_TYPE WERROR CXX CXX_FLAGS EXE_LINKER_FLAGS SHARED_LINKER_FLAGS
set -eu
source=$1 work=$2
log=$work.log

if cmake -S "$source" -B "$work" -G Ninja -DMIBOLAN_ENGINE_ONLY=ON \
     -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON -DCMAKE_DISABLE_FIND_PACKAGE_CLI11=ON -DMIBOLAN_BUILD_BENCHMARKS=OFF \
     -DCMAKE_BUILD_TYPE="$3" -DMIBOLAN_WERROR="$4" -DCMAKE_CXX_COMPILER="$5" -DCMAKE_CXX_FLAGS="$6" \
     -DCMAKE_EXE_LINKER_FLAGS="$7" -DCMAKE_SHARED_LINKER_FLAGS="$8" >"$log" 2>&1 &&
   cmake --build "$work" >>"$log" 2>&1; then
  # The formatting check is the whole tree's, run by the full build.
  ctest --test-dir "$work" --output-on-failure --no-tests=error -j 2 -E '^source_is_formatted$'
else
  tail -n 60 "$log" >&2
  echo "FAIL: the engine alone does not configure or build (log: $log)" >&2
  exit 1
fi
