#!/usr/bin/env python3
"""Makes sheet/data/strokes.bin, the stroke outlines of the practice page, from hanzi-writer-data.

Takes the characters of the national standard character list (the stand-in: the characters that
Unihan gives a kTGHZ2013 reading, 8,105) that hanzi-writer-data draws, and writes their strokes,
in writing order, in the compact form that sheet/data/README.md describes. The characters of the
list that the source lacks are written to sheet/data/no_strokes.txt.

Usage: python3 tools/gen_strokes.py [--source DIR] [--unihan FILE] [-o strokes.bin] [--missing FILE]
(tools/stroke-source/install.sh installs the pinned source.)
"""

import argparse
import bz2
import json
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(HERE)
DEFAULT_SOURCE = os.path.join(HERE, "stroke-source", "node_modules", "hanzi-writer-data")
DEFAULT_UNIHAN = "/usr/share/unicode/Unihan_Readings.txt.bz2"

MAGIC = b"MBSTROKES1\n"
OPERATIONS = {"M": (0, 1), "L": (1, 1), "Q": (2, 2), "C": (3, 3)}  # code, points


def standard_characters(unihan):
    opener = bz2.open if unihan.endswith(".bz2") else open
    characters = set()
    with opener(unihan, "rt", encoding="utf-8") as lines:
        for line in lines:
            fields = line.split("\t")
            if len(fields) >= 2 and fields[1] == "kTGHZ2013":
                characters.add(chr(int(fields[0][2:], 16)))
    if not characters:
        sys.exit(f"gen_strokes: no kTGHZ2013 readings in {unihan}")
    return characters


def varint(number, out):
    while number >= 0x80:
        out.append(number & 0x7F | 0x80)
        number >>= 7
    out.append(number)


def zigzag(number):
    return number * 2 if number >= 0 else -number * 2 - 1


def parse_stroke(path):
    """The operations of one SVG outline: [(code, [(x, y), ...])], its closing Z left out."""
    tokens = path.split()
    operations = []
    i = 0
    while i < len(tokens):
        name = tokens[i]
        i += 1
        if name == "Z":
            if i != len(tokens):
                raise ValueError(f"Z before the end of {path!r}")
            break
        code, count = OPERATIONS[name]
        # A handful of points lie on half units; a unit is 1/1024 of the square.
        numbers = [round(float(t)) for t in tokens[i:i + 2 * count]]
        i += 2 * count
        operations.append((code, list(zip(numbers[0::2], numbers[1::2]))))
    if not operations or operations[0][0] != 0 or any(code == 0 for code, _ in operations[1:]):
        raise ValueError(f"not one outline: {path!r}")
    return operations


def encode_character(strokes):
    body = bytearray()
    varint(len(strokes), body)
    last = (0, 0)
    for stroke in strokes:
        operations = parse_stroke(stroke)
        varint(len(operations), body)
        body.extend(code for code, _ in operations)
        for _, points in operations:
            for point in points:
                varint(zigzag(point[0] - last[0]), body)
                varint(zigzag(point[1] - last[1]), body)
                last = point
    return body


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--source", default=DEFAULT_SOURCE, help="the folder of the npm package hanzi-writer-data")
    parser.add_argument("--unihan", default=DEFAULT_UNIHAN, help="Unihan_Readings.txt(.bz2)")
    parser.add_argument("-o", "--output", default=os.path.join(REPO, "sheet", "data", "strokes.bin"))
    parser.add_argument("--missing", default=os.path.join(REPO, "sheet", "data", "no_strokes.txt"))
    arguments = parser.parse_args()

    out = bytearray(MAGIC)
    missing = []
    for character in sorted(standard_characters(arguments.unihan)):
        source = os.path.join(arguments.source, character + ".json")
        if not os.path.exists(source):
            missing.append(character)
            continue
        with open(source, encoding="utf-8") as data:
            body = encode_character(json.load(data)["strokes"])
        varint(ord(character), out)
        varint(len(body), out)
        out.extend(body)
    with open(arguments.output, "wb") as written:
        written.write(out)
    with open(arguments.missing, "w", encoding="utf-8", newline="\n") as written:
        for character in missing:
            written.write(character + "\n")


if __name__ == "__main__":
    main()
