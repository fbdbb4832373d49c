#!/usr/bin/env python3
"""Generates the character dictionary: one line "字 syl#" per character.

Usage: python3 tools/gen_dictionary.py [--unihan PATH] [--overrides PATH]
                                       [--no-reading PATH] [--stats] [-o OUT]

The heads are the characters U+4E00..U+9FA5 minus those listed in
engine/data/no_reading.txt, in code-point order. Each gets one numbered
syllable: lower-case letters (never "v", "ü" only in lü/lüe/nü/nüe), then a
tone digit 1-5, 5 being the neutral tone. Readings are for the character on
its own, without tone sandhi.

Where a reading comes from, first match wins:
  1. engine/data/named_readings.txt: the readings the program is defined by,
     plus a few hand-made adjustments and choices (see its groups);
  2. the first reading of kMandarin in Unihan_Readings.txt, if its syllable
     is one of the 409 below;
  3. otherwise the first reading of kHanyuPinyin, kXHC1983, then kTGHZ2013
     whose syllable is one of them. Syllabic nasals (m, n, ng, hm), ê, ei,
     kei and lia are not, so such readings fall through to the next one.
Four characters have no usable reading in any of these fields: 兙, 兡 and 嗧
(unit characters with no Mandarin reading at all) and 诶 (listed only as
"ei", which is not an allowed syllable). Their readings are chosen by hand in
the last group of named_readings.txt, where the reasons are noted.

The output is UTF-8 with LF line ends and is byte-for-byte reproducible from
the same inputs (tests/tools checks the committed copy against a fresh run).
"""

import argparse
import bz2
import os
import re
import sys
import unicodedata
from collections import Counter

REPO_ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_UNIHAN = "/usr/share/unicode/Unihan_Readings.txt.bz2"
DEFAULT_OVERRIDES = os.path.join(REPO_ROOT, "engine", "data", "named_readings.txt")
DEFAULT_NO_READING = os.path.join(REPO_ROOT, "engine", "data", "no_reading.txt")

FIRST_HEAD, LAST_HEAD = 0x4E00, 0x9FA5
HEAD_COUNT = 20577
NO_READING_COUNT = 325

# Fields consulted after kMandarin, in order of preference.
FALLBACK_FIELDS = ("kHanyuPinyin", "kXHC1983", "kTGHZ2013")
UNIHAN_FIELDS = ("kMandarin",) + FALLBACK_FIELDS

# The only syllables a reading may use, one per line.
DEFAULT_SYLLABLES = os.path.join(REPO_ROOT, "engine", "data", "syllables.txt")


def read_syllables(path=DEFAULT_SYLLABLES):
    with open(path, encoding="utf-8") as lines:
        return frozenset(line.strip() for line in lines if line.strip())


SYLLABLES = read_syllables()
assert len(SYLLABLES) == 409

# Combining marks left by NFD: the four tone marks and the diaeresis of ü.
TONE_OF_MARK = {"\u0304": "1", "\u0301": "2", "\u030C": "3", "\u0300": "4"}
DIAERESIS = "\u0308"

NUMBERED_SYLLABLE = re.compile(r"^([a-zü]+)([1-5])$")


class DictionaryError(Exception):
    """Input that would make the dictionary wrong; the generator stops."""


def is_numbered_syllable(reading):
    match = NUMBERED_SYLLABLE.match(reading)
    return match is not None and match.group(1) in SYLLABLES


def to_numbered(pinyin):
    """Turns one tone-marked pinyin syllable into numbered form.

    Returns None when the result is not one of the allowed syllables, so that
    the caller moves on to the next candidate reading.
    """
    text = unicodedata.normalize("NFD", pinyin.strip().lower())
    # Plain-ASCII spellings of ü.
    text = text.replace("u:", "u" + DIAERESIS).replace("v", "u" + DIAERESIS)
    letters, tone = [], "5"  # no mark at all means the neutral tone
    for ch in text:
        if ch in TONE_OF_MARK:
            if tone != "5":
                return None
            tone = TONE_OF_MARK[ch]
        elif ch == DIAERESIS and letters and letters[-1] == "u":
            letters[-1] = "ü"
        elif "a" <= ch <= "z":
            letters.append(ch)
        else:
            return None  # ê, stray marks, digits, punctuation
    syllable = "".join(letters)
    # After j, q, x and y the ü sound is spelt u.
    if syllable[:1] in ("j", "q", "x", "y"):
        syllable = syllable.replace("ü", "u")
    return syllable + tone if syllable in SYLLABLES else None


def field_readings(field, value):
    """The raw readings of one Unihan field value, in the order given."""
    if field == "kMandarin":
        # Mainland reading first; a second value is the Taiwan reading.
        return value.split()
    # kHanyuPinyin: "10048.060:liǎo,le,liào 10049.010:..."
    # kXHC1983, kTGHZ2013: "0686.010:le 0686.011,0686.012:liǎo"
    readings = []
    for group in value.split():
        _, _, listed = group.rpartition(":")
        readings.extend(r for r in listed.split(",") if r)
    return readings


def open_text(path):
    with open(path, "rb") as probe:
        compressed = probe.read(3) == b"BZh"
    if compressed:
        return bz2.open(path, "rt", encoding="utf-8")
    return open(path, "r", encoding="utf-8")


def load_unihan(path):
    """Maps code point -> {field: value} for the fields and range we use."""
    entries = {}
    with open_text(path) as source:
        for line in source:
            if not line.startswith("U+"):
                continue
            code, field, value = line.rstrip("\n").split("\t", 2)
            if field not in UNIHAN_FIELDS:
                continue
            cp = int(code[2:], 16)
            if FIRST_HEAD <= cp <= LAST_HEAD:
                entries.setdefault(cp, {})[field] = value
    return entries


def unihan_reading(fields):
    """(reading, field it came from) or (None, None)."""
    mandarin = fields.get("kMandarin")
    if mandarin:
        reading = to_numbered(field_readings("kMandarin", mandarin)[0])
        if reading:
            return reading, "kMandarin"
    for field in FALLBACK_FIELDS:
        for raw in field_readings(field, fields.get(field, "")):
            reading = to_numbered(raw)
            if reading:
                return reading, field
    return None, None


def data_lines(path):
    """(line number, text) of each non-blank line, with comments removed."""
    with open(path, "r", encoding="utf-8") as source:
        for number, line in enumerate(source, 1):
            text = line.split("#", 1)[0].strip()
            if text:
                yield number, text


def load_no_reading(path):
    chars = []
    for number, text in data_lines(path):
        if len(text) != 1 or not FIRST_HEAD <= ord(text) <= LAST_HEAD:
            raise DictionaryError(f"{path}:{number}: not one character of U+4E00..U+9FA5: {text!r}")
        chars.append(text)
    if len(set(chars)) != NO_READING_COUNT or chars != sorted(chars):
        raise DictionaryError(
            f"{path}: expected {NO_READING_COUNT} distinct characters in code-point order, "
            f"found {len(set(chars))} distinct of {len(chars)}")
    return set(chars)


def load_overrides(path, heads):
    overrides = {}
    for number, text in data_lines(path):
        where = f"{path}:{number}"
        parts = text.split(" ")
        if len(parts) != 2 or len(parts[0]) != 1:
            raise DictionaryError(f"{where}: expected 'character reading', got {text!r}")
        char, reading = parts
        if char not in heads:
            raise DictionaryError(f"{where}: {char} (U+{ord(char):04X}) is not a dictionary head")
        if not is_numbered_syllable(reading):
            raise DictionaryError(f"{where}: {reading!r} is not a valid numbered syllable")
        if overrides.get(char, reading) != reading:
            raise DictionaryError(f"{where}: {char} {reading} conflicts with {char} {overrides[char]}")
        overrides[char] = reading
    return overrides


def build(unihan, overrides, heads):
    """Returns ({head: reading}, Counter of sources)."""
    readings, sources = {}, Counter()
    for head in heads:
        reading, source = unihan_reading(unihan.get(ord(head), {}))
        if head in overrides:
            reading, source = overrides[head], "overrides"
        if reading is None:
            continue
        readings[head] = reading
        sources[source] += 1
    missing = [h for h in heads if h not in readings]
    if missing:
        listed = " ".join(f"{h}(U+{ord(h):04X})" for h in missing)
        raise DictionaryError(f"{len(missing)} characters have no reading; add them to the overrides: {listed}")
    return readings, sources


def render(readings):
    return "".join(f"{head} {readings[head]}\n" for head in sorted(readings))


def parse_args(argv):
    parser = argparse.ArgumentParser(description="Generate the character dictionary.")
    parser.add_argument("--unihan", default=DEFAULT_UNIHAN,
                        help="Unihan_Readings.txt, bz2-compressed or plain (default: %(default)s)")
    parser.add_argument("--overrides", default=DEFAULT_OVERRIDES,
                        help="readings that win over Unihan (default: engine/data/named_readings.txt)")
    parser.add_argument("--no-reading", default=DEFAULT_NO_READING,
                        help="characters left out (default: engine/data/no_reading.txt)")
    parser.add_argument("-o", "--output", help="output file (default: standard output)")
    parser.add_argument("--stats", action="store_true",
                        help="print where the readings came from to standard error")
    return parser.parse_args(argv)


def main(argv=None):
    args = parse_args(argv)
    try:
        no_reading = load_no_reading(args.no_reading)
        heads = [chr(cp) for cp in range(FIRST_HEAD, LAST_HEAD + 1) if chr(cp) not in no_reading]
        if len(heads) != HEAD_COUNT:
            raise DictionaryError(f"expected {HEAD_COUNT} heads, found {len(heads)}")
        overrides = load_overrides(args.overrides, set(heads))
        readings, sources = build(load_unihan(args.unihan), overrides, heads)
    except (DictionaryError, OSError) as error:
        print(f"gen_dictionary: {error}", file=sys.stderr)
        return 1

    text = render(readings)
    if args.output:
        with open(args.output, "w", encoding="utf-8", newline="\n") as out:
            out.write(text)
    else:
        sys.stdout.buffer.write(text.encode("utf-8"))
    if args.stats:
        for source, count in sorted(sources.items(), key=lambda item: -item[1]):
            print(f"{source}: {count}", file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main())
