#!/bin/sh
# The development package's example programs, built against the shared library: the one that
# converts a string whole, and the one that streams its input, on good input and on bytes that
# are not UTF-8 (converted up to them, then an error that says where).
# Usage: check_examples.sh CONVERT_TEXT CONVERT_STDIN
set -eu
convert_text=$1 convert_stdin=$2

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

out=$("$convert_text") || fail "convert_text failed"
[ "$out" = "wǒ zài yín háng jué de hěn hǎo " ] || fail "convert_text wrote '$out'"

# A long input arrives in several pieces, cut inside characters.
long=$(awk 'BEGIN { for (i = 0; i < 3000; i++) printf "银行"; print "" }')
out=$(printf '我爱人\n\n%s\n' "$long" | "$convert_stdin") || fail "convert_stdin failed"
expected=$(printf 'wǒ ài rén \n\n'; awk 'BEGIN { for (i = 0; i < 3000; i++) printf "yín háng "; print "" }')
[ "$out" = "$expected" ] || fail "convert_stdin wrote '$(echo "$out" | head -c 200)'"

out=$(printf '我\377人' | "$convert_stdin" 2>&1 >/dev/null) && fail "convert_stdin took bytes that are not UTF-8"
[ "$out" = "convert_stdin: the input is not UTF-8 at byte 3" ] || fail "convert_stdin said '$out' of a bad byte"

[ "$failures" -eq 0 ] || exit 1
echo "the examples convert a string and a stream, and report bytes that are not UTF-8"
