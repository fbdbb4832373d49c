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
- but not a character of the national standard character list (the characters that Unihan
  gives a kTGHZ2013 reading: 吒, 昇, 甦 … are simplified characters of their own), nor one whose
  own reading (of the dictionary, else of engine/data/character_readings.txt) is none of the
  readings that Unihan gives its simplified form (閤 gé is not 合 hé): simplified text that
  uses them keeps its readings;
- every CJK compatibility ideograph of U+F900–U+FAFF with its canonical (NFC) character, or
  that character's simplified one.

The table comes from Debian's libopencc-data (/usr/share/opencc/TSCharacters.ocd2, Apache-2.0),
turned into text by its `opencc_dict` (Debian package opencc).

Usage: python3 tools/gen_simplified.py [--opencc-dir DIR] [--unihan PATH] [-o OUTPUT]
"""

import argparse
import os
import subprocess
import sys
import tempfile
import unicodedata

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from gen_character_readings import load_dictionary, load_unihan_fields  # noqa: E402
import wordreadings as wr  # noqa: E402
from gen_dictionary import DEFAULT_UNIHAN, field_readings, to_numbered  # noqa: E402

REPO_ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CHARACTER_READINGS = os.path.join(REPO_ROOT, "engine", "data", "character_readings.txt")

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


def all_readings(fields):
    """Every numbered reading that Unihan gives a character."""
    readings = set()
    for field, value in fields.items():
        readings.update(filter(None, (to_numbered(raw) for raw in field_readings(field, value))))
    return readings


def build(traditional, unihan, own_readings):
    standard = {chr(code) for code, fields in unihan.items() if "kTGHZ2013" in fields}
    mapping = {}
    for char, candidates in traditional.items():
        first = candidates[0]
        if not (basic(char) and basic(first)) or char in candidates or char in standard:
            continue
        own = own_readings.get(char)
        if own and own not in all_readings(unihan.get(ord(first), {})):
            continue
        mapping[char] = first
    for code in range(0xF900, 0xFB00):
        char = chr(code)
        canonical = unicodedata.normalize("NFC", char)
        if canonical != char and basic(canonical):
            mapping[char] = mapping.get(canonical, canonical)
    return mapping


def main(argv=None):
    parser = argparse.ArgumentParser(description="Generate the traditional-to-simplified table of reading by word.")
    parser.add_argument("--opencc-dir", default=DEFAULT_OPENCC_DIR, help="where OpenCC's .ocd2 files are")
    parser.add_argument("--unihan", default=DEFAULT_UNIHAN, help="Unihan_Readings.txt, bz2 or plain")
    parser.add_argument("-o", "--output", help="output file (default: standard output)")
    args = parser.parse_args(argv)
    own_readings = load_dictionary()
    with open(CHARACTER_READINGS, encoding="utf-8") as handle:
        own_readings.update(line.rstrip("\n").split("\t") for line in handle)
    mapping = build(read_opencc_table(args.opencc_dir, "TSCharacters"), load_unihan_fields(args.unihan), own_readings)
    text = wr.format_tab_pairs(mapping)
    wr.write_generated(text, args.output)
    return 0


if __name__ == "__main__":
    sys.exit(main())
