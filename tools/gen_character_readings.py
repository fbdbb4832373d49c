"""Writes engine/data/character_readings.txt: the readings that reading by word gives the
characters that have no line in the dictionary (engine/data/dictionary.txt).

Each line is `CHARACTER<TAB>READING` (a numbered syllable of the 409), in code-point order:

- every character of Unihan_Readings.txt without a dictionary line that has a reading: the
  first kMandarin reading whose syllable is allowed, else the first allowed one of
  kHanyuPinyin, kXHC1983, kTGHZ2013 (as tools/gen_dictionary.py chooses);
- 〇 (U+3007), which Unihan gives no reading: ling2;
- every CJK compatibility ideograph (U+F900–U+FAFF, U+2F800–U+2FA1F) with the reading of
  its canonical (NFC) character, whatever Unihan says of the compatibility character.

Usage: python3 tools/gen_character_readings.py [--unihan PATH] [-o OUTPUT]
"""

import argparse
import os
import sys
import unicodedata

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import wordreadings as wr  # noqa: E402
from gen_dictionary import DEFAULT_UNIHAN, UNIHAN_FIELDS, open_text, unihan_reading  # noqa: E402

REPO_ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DICTIONARY = os.path.join(REPO_ROOT, "engine", "data", "dictionary.txt")

# Readings that Unihan does not give.
NAMED = {"\u3007": "ling2"}  # 〇, the zero of written numbers: 二〇二三年
COMPATIBILITY_RANGES = ((0xF900, 0xFAFF), (0x2F800, 0x2FA1F))


def load_unihan_fields(path):
    """{code point: {field: value}} for the reading fields of every character."""
    entries = {}
    with open_text(path) as source:
        for line in source:
            if not line.startswith("U+"):
                continue
            code, field, value = line.rstrip("\n").split("\t", 2)
            if field in UNIHAN_FIELDS:
                entries.setdefault(int(code[2:], 16), {})[field] = value
    return entries


def load_dictionary(path=DICTIONARY):
    with open(path, encoding="utf-8") as handle:
        return dict(line.rstrip("\n").split(" ", 1) for line in handle)


def build(unihan, dictionary):
    readings = {}
    for code, fields in unihan.items():
        char = chr(code)
        if char in dictionary:
            continue
        reading, _ = unihan_reading(fields)
        if reading:
            readings[char] = reading
    readings.update(NAMED)
    for first, last in COMPATIBILITY_RANGES:
        for code in range(first, last + 1):
            char = chr(code)
            canonical = unicodedata.normalize("NFC", char)
            if canonical == char:
                readings.pop(char, None)  # not a compatibility character after all
                continue
            reading = dictionary.get(canonical) or readings.get(canonical)
            if reading:
                readings[char] = reading
            else:
                readings.pop(char, None)
    return readings


def main(argv=None):
    parser = argparse.ArgumentParser(description="Generate the readings of the characters outside the dictionary.")
    parser.add_argument("--unihan", default=DEFAULT_UNIHAN, help="Unihan_Readings.txt, bz2 or plain")
    parser.add_argument("-o", "--output", help="output file (default: standard output)")
    args = parser.parse_args(argv)
    text = wr.format_tab_pairs(build(load_unihan_fields(args.unihan), load_dictionary()))
    wr.write_generated(text, args.output)
    return 0


if __name__ == "__main__":
    sys.exit(main())
