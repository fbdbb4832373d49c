#!/bin/sh
# Builds the Debian packages into a folder of their own, once for every test that checks them.
# Usage: build_debian_packages.sh CPACK_CONFIG PACKAGE_DIR
set -eu
config=$1 packages=$2

rm -rf "$packages"
mkdir -p "$packages"
if ! cpack --config "$config" -G DEB -B "$packages" >"$packages/cpack.log" 2>&1; then
  cat "$packages/cpack.log" >&2
  echo "FAIL: cpack could not make the package" >&2
  exit 1
fi
