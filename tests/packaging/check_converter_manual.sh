#!/bin/sh
# The converter's --help and its manual page name the same options, and the examples of --help
# show each option but --help itself.
# Usage: check_converter_manual.sh MIBOLAN_CONVERT MANUAL_PAGE
set -eu
convert=$1 manual=$2

help=$("$convert" --help)
help_options=$(echo "$help" | sed -n '/^Options:/,/^$/p' | grep -o -- '--[a-z][a-z-]*' | sort -u)
manual_options=$(sed -n '/^\.SH OPTIONS/,/^\.SH /p' "$manual" | grep -o -- '\\-\\-[a-z][a-z\\-]*' |
  sed 's/\\-/-/g' | sort -u)
examples=$(echo "$help" | sed -n '/^Examples:/,$p')

failures=0
if [ "$help_options" != "$manual_options" ]; then
  echo "FAIL: --help and the manual page name different options:" >&2
  echo "  --help: $(echo $help_options)" >&2
  echo "  manual: $(echo $manual_options)" >&2
  failures=1
fi
[ -n "$help_options" ] || { echo "FAIL: no options found in --help" >&2; failures=1; }
for option in $help_options; do
  [ "$option" = --help ] && continue
  echo "$examples" | grep -q -- "$option" || { echo "FAIL: no example of $option in --help" >&2; failures=1; }
done
[ "$failures" -eq 0 ] && echo "options: $(echo $help_options)"
exit "$failures"
