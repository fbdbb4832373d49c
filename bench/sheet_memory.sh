#!/usr/bin/env bash
# The reading sheet's memory and time on long texts: `mibolan-sheet --pdf` on texts of 1, 10 and
# 50 MB (everyday characters in paragraphs of 20 to 60 with their punctuation, always the same),
# then on /dev/zero and on an endless pipe of text, each stopped after SECONDS. Prints a Markdown
# table: wall time, peak resident memory (/usr/bin/time -v), pages, and seconds per MB.
# Usage: bench/sheet_memory.sh [SECONDS]   (default 20; MIBOLAN_BENCH_BUILD=DIR, default build/default;
# MIBOLAN_SHEET_MEGABYTES="1 10 50" the sizes of the texts)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
seconds=${1:-20}
build=${MIBOLAN_BENCH_BUILD:-build/default}
sheet="$build/sheet/mibolan-sheet"
[ -x /usr/bin/time ] || { echo "sheet_memory: needs /usr/bin/time (Debian's package \"time\")" >&2; exit 1; }
[ -x "$sheet" ] || cmake --build "$build" --target mibolan-sheet
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Writes MEGABYTES of text to standard output, or text without end when MEGABYTES is 0.
text() {
  python3 - "$1" <<'PY'
import sys
chars = ("的一是不了人我在有他这中大来上国个到说们为子和你地出道也时年得就那要下以生会自着去之过家学对可她里后"
         "小么心多天而能好都然没日于起还发成事只作当想看文无开手十用主行方又如前所本见经头面公同三已老从动两长")
limit = int(sys.argv[1]) * 1000 * 1000
seed, written, out = 1, 0, sys.stdout.buffer
def rand():
    global seed
    seed = (seed * 1103515245 + 12345) & 0xFFFFFFFF
    return (seed >> 16) & 0x7FFF
try:
    while limit == 0 or written < limit:
        block = []
        for _ in range(1000):
            length = 20 + rand() % 41
            line = "".join(chars[rand() % len(chars)] + ("，" if i == length // 2 else "") for i in range(length))
            block.append(line + "。\n")
        data = "".join(block).encode()
        if limit and written + len(data) > limit:
            data = data[: data.rfind(b"\n", 0, limit - written) + 1]
            limit = written + len(data)
        out.write(data)
        written += len(data)
except BrokenPipeError:
    pass
PY
}

# Runs the sheet under /usr/bin/time -v with standard input from $2 (a file), stopped after
# $1 seconds (0: never); prints "wall-seconds peak-KB".
measure() {
  local limit=$1 input=$2
  shift 2
  local stop=()
  [ "$limit" = 0 ] || stop=(timeout -s INT "$limit")
  "${stop[@]}" /usr/bin/time -v -o "$scratch/time" "$sheet" "$@" <"$input" >/dev/null 2>&1 || true
  awk -F': ' '/Elapsed \(wall clock\)/ { n = split($2, t, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + t[i] }
              /Maximum resident set size/ { kb = $2 } END { printf "%.1f %d\n", s, kb }' "$scratch/time"
}

echo "| input | wall | peak memory | pages | s per MB |"
echo "|---|---:|---:|---:|---:|"
for megabytes in ${MIBOLAN_SHEET_MEGABYTES:-1 10 50}; do
  text "$megabytes" >"$scratch/text.txt"
  read -r wall kb < <(measure 0 /dev/null --pdf "$scratch/sheet.pdf" "$scratch/text.txt")
  pages=$(pdfinfo "$scratch/sheet.pdf" | awk '/^Pages:/ { print $2 }')
  awk -v mb="$megabytes" -v wall="$wall" -v kb="$kb" -v pages="$pages" \
    'BEGIN { printf "| %d MB text (file) | %.1f s | %d MiB | %s | %.2f |\n", mb, wall, kb / 1024, pages, wall / mb }'
done
read -r wall kb < <(measure "$seconds" /dev/null --pdf "$scratch/zero.pdf" /dev/zero)
printf '| /dev/zero, stopped after %d s | %.1f s | %d MiB | - | - |\n' "$seconds" "$wall" $((kb / 1024))
mkfifo "$scratch/pipe"
text 0 >"$scratch/pipe" &
writer=$!
read -r wall kb < <(measure "$seconds" "$scratch/pipe" --pdf "$scratch/pipe.pdf" -)
kill "$writer" 2>/dev/null || true
printf '| endless pipe of text, stopped after %d s | %.1f s | %d MiB | - | - |\n' "$seconds" "$wall" $((kb / 1024))
