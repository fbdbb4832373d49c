#!/bin/sh
# Under a Chinese locale the sheet's --help is in Chinese and names the options that its Chinese
# manual page names, with an example of each; under any other it is in English.
# Usage: check_chinese_manual.sh MIBOLAN_SHEET CHINESE_MANUAL_PAGE
set -eu
sheet=$1 manual=$2

help=$(LC_ALL= LC_MESSAGES= LANG=zh_CN.UTF-8 "$sheet" --help)
help_options=$(echo "$help" | sed -n '/^选项：/,/^$/p' | grep -o -- '--[a-z][a-z-]*' | sort -u)
manual_options=$(sed -n '/^\.SH 选项/,/^\.SH /p' "$manual" | grep -o -- '\\-\\-[a-z][a-z\\-]*' |
  sed 's/\\-/-/g' | sort -u)
examples=$(echo "$help" | sed -n '/^例子：/,$p')

failures=0
if [ -z "$help_options" ] || [ "$help_options" != "$manual_options" ]; then
  echo "FAIL: the Chinese --help and manual page name different options:" >&2
  echo "  --help: $(echo $help_options)" >&2
  echo "  manual: $(echo $manual_options)" >&2
  failures=1
fi
for option in $help_options; do
  [ "$option" = --help ] && continue
  echo "$examples" | grep -q -- "$option" || { echo "FAIL: no example of $option in the Chinese --help" >&2; failures=1; }
done
# Every option's help is in Chinese: no line of it is English prose.
english=$(echo "$help" | sed -n '/^选项：/,/^$/p' | grep -E '[a-z]{3,} [a-z]{3,} [a-z]{3,}' || true)
[ -z "$english" ] || { echo "FAIL: English in the Chinese --help: $english" >&2; failures=1; }
LC_ALL=C "$sheet" --help | grep -q '^Options:$' || { echo "FAIL: --help is not English under LC_ALL=C" >&2; failures=1; }
LC_ALL=zh_TW.UTF-8 "$sheet" --help | grep -q '^选项：$' || { echo "FAIL: --help is not Chinese under LC_ALL=zh_TW" >&2; failures=1; }
[ "$failures" -eq 0 ] && echo "options: $(echo $help_options)"
exit "$failures"
