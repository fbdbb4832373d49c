#!/bin/sh
# Writes the Debian symbols file of the shared library: every symbol it exports, of its version
# node, with the version that a program using it needs at least. Each is given the version being
# built, which is exact for the symbols new in it and, for older ones, asks more than needed but
# never less.
# Usage: write_symbols_file.sh LIBRARY SONAME PACKAGE DEV_PACKAGE VERSION OUTPUT
set -eu
library=$1 soname=$2 package=$3 dev=$4 version=$5 output=$6
mkdir -p "$(dirname "$output")"
{
  echo "$soname $package #MINVER#"
  echo "* Build-Depends-Package: $dev"
  nm -D --defined-only "$library" | awk -v version="$version" '$2 != "A" { sub(/@@/, "@", $3); print " " $3 " " version }' |
    LC_ALL=C sort
} >"$output.new"
mv "$output.new" "$output"
