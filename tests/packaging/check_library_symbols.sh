#!/bin/sh
# The shared library has its soname and exports the public API and nothing else: every symbol it
# defines is of the version node that the soname's packages promise, and belongs to a class or a
# function that a public header marks MIBOLAN_API (their type information included); the
# engine's internals, the classes' implementations and the standard library's templates stay
# hidden. Each marked name is exported, too.
# Usage: check_library_symbols.sh LIBRARY PUBLIC_HEADER_DIR SONAME VERSION_NODE
set -eu
library=$1 headers=$2 soname=$3 node=$4

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

actual=$(readelf -d "$library" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
[ "$actual" = "$soname" ] || fail "the soname is '$actual', not '$soname'"

# "class MIBOLAN_API Name" and "MIBOLAN_API type Name(".
public=$(sed -n -e 's/.*class MIBOLAN_API \([A-Za-z0-9_]*\).*/\1/p' \
                -e 's/^MIBOLAN_API [^(]* [*&]*\([A-Za-z0-9_]*\)(.*/\1/p' "$headers"/*.h | sort -u)
[ -n "$public" ] || fail "no public header marks anything MIBOLAN_API"

# The version node itself is an absolute symbol of its own.
symbols=$(nm -D --defined-only "$library" | awk '$2 != "A" { print $3 }')
unversioned=$(echo "$symbols" | grep -v "@@$node\$" || true)
[ -z "$unversioned" ] || fail "symbols not of the version node $node: $unversioned"

names=$(echo "$symbols" | sed "s/@@$node\$//" | c++filt |
        sed -e 's/^typeinfo name for //' -e 's/^typeinfo for //' -e 's/^vtable for //')
for name in $public; do
  echo "$names" | grep -Eq "^mibolan::$name(\$|[(:[])" || fail "mibolan::$name is not exported"
done
internal=$(echo "$names" | while IFS= read -r name; do
  owner=$(echo "$name" | sed -n 's/^mibolan::\([A-Za-z0-9_]*\).*/\1/p')
  if [ -z "$owner" ] || ! echo "$public" | grep -qx "$owner" || echo "$name" | grep -q '::Impl\b'; then
    echo "$name"
  fi
done)
[ -z "$internal" ] || fail "symbols beyond the public API are exported:
$internal"

[ "$failures" -eq 0 ] || { echo "$failures check(s) of $library failed" >&2; exit 1; }
echo "$library: soname $soname, $(echo "$symbols" | wc -l) symbols of $node, all of the public API"
