"""Writes engine/data/simplified.txt: the simplified character that reading by word reads in
place of each traditional or variant character, and of each compatibility ideograph.

Each line is `CHARACTER<TAB>SIMPLIFIED`, in code-point order, both characters of the Basic
Multilingual Plane (the engine maps one UTF-16 unit to one):

- every character of OpenCC's TSCharacters table (traditional to simplified, variant forms
  such as 爲, 衆, 裏 included) that it maps to another character: the first that it offers,
  the most common (鍊: 炼 链 takes 炼). A character that the table offers among its own
  simplified forms (乾: 干 乾, 於: 于 於, 夥: 伙 夥) is also a simplified character, with
  words of its own there (乾隆, 乾坤): it stays itself, so that simplified text reads as it
  did;
- every CJK compatibility ideograph of U+F900–U+FAFF with its canonical (NFC) character, or
  that character's simplified one.

The table comes from Debian's libopencc-data (/usr/share/opencc/TSCharacters.ocd2, Apache-2.0),
turned into text by its `opencc_dict` (Debian package opencc).

Usage: python3 tools/gen_simplified.py [--opencc-dir DIR] [-o OUTPUT]
"""

import argparse
import os
import subprocess
import sys
import tempfile
import unicodedata

DEFAULT_OPENCC_DIR = "/usr/share/opencc"


def read_opencc_table(directory, name):
    """{character: [candidates]} of one OpenCC dictionary, in the order it gives them."""
    with tempfile.TemporaryDirectory() as scratch:
        text = os.path.join(scratch, name + ".txt")
        subprocess.run(["opencc_dict", "-i", os.path.join(directory, name + ".ocd2"), "-o", text,
                        "-f", "ocd2", "-t", "text"], check=True, stdout=subprocess.DEVNULL)
        table = {}
        with open(text, encoding="utf-8") as handle:
            for line in handle:
                key, _, values = line.rstrip("\n").partition("\t")
                table[key] = values.split(" ")
    return table


def basic(char):
    return len(char) == 1 and ord(char) < 0x10000


def build(traditional):
    mapping = {}
    for char, candidates in traditional.items():
        first = candidates[0]
        if basic(char) and basic(first) and char not in candidates:
            mapping[char] = first
    for code in range(0xF900, 0xFB00):
        char = chr(code)
        canonical = unicodedata.normalize("NFC", char)
        if canonical != char and basic(canonical):
            mapping[char] = mapping.get(canonical, canonical)
    return mapping


def render(mapping):
    return "".join(f"{char}\t{mapping[char]}\n" for char in sorted(mapping))


def main(argv=None):
    parser = argparse.ArgumentParser(description="Generate the traditional-to-simplified table of reading by word.")
    parser.add_argument("--opencc-dir", default=DEFAULT_OPENCC_DIR, help="where OpenCC's .ocd2 files are")
    parser.add_argument("-o", "--output", help="output file (default: standard output)")
    args = parser.parse_args(argv)
    text = render(build(read_opencc_table(args.opencc_dir, "TSCharacters")))
    if args.output:
        with open(args.output, "w", encoding="utf-8", newline="\n") as out:
            out.write(text)
    else:
        sys.stdout.buffer.write(text.encode("utf-8"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
