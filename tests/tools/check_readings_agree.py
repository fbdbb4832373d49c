#!/usr/bin/env python3
"""The converter's reading by word against the Python reference of the method
(tools/wordreadings.py, with the committed word list and model): the same readings for the
labelled sentences, the everyday sentences, the running text, and texts that mix them with
line breaks, Latin letters, digits, punctuation and characters beyond the BMP.

Usage: check_readings_agree.py MIBOLAN_CONVERT"""

import os
import random
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tools"))
import wordreadings  # noqa: E402

MIXED_IN = ["\n", "\r\n", "\r", " ", "\t", "a", "Ｂ", "７", "3", "，", "😀", "𠀀", "一", "不", "了", "得", "行", "暖和"]


def texts():
    with open(os.path.join(ROOT, "tests", "data", "polyphones", "dev.sent"), encoding="utf-8") as lines:
        sentences = [line.rstrip("\n").replace("\u2581", "") for line in lines]
    for name in ("everyday_readings.tsv", "running_text/fortunes.tsv", "running_text/manpages.tsv"):
        with open(os.path.join(ROOT, "tests", "data", name), encoding="utf-8") as lines:
            sentences += [line.split("\t")[0] for line in lines if line.strip() and not line.startswith("#")]
    random_ = random.Random(20261207)
    mixed = []
    for _ in range(2000):
        characters = list(random_.choice(sentences) + random_.choice(sentences))
        for _ in range(random_.randint(1, 6)):
            characters.insert(random_.randint(0, len(characters)), random_.choice(MIXED_IN))
        mixed.append("".join(characters))
    return [s for s in sentences if "\n" not in s], mixed


def reference(reader, text):
    readings = reader.readings(text)
    return "".join(readings[index] + " " for index in sorted(readings))


def main():
    converter = sys.argv[1]
    words = wordreadings.load_words()
    margin, model, corrections = wordreadings.load_model()
    reader = wordreadings.Reader(words, model, margin, corrections=corrections)
    lines, mixed = texts()
    differences = []
    # One sentence per line, read as kept lines; each mixed text alone, being its own text.
    out = subprocess.run([converter, "--words", "--style=numbers", "--keep-lines"], input="\n".join(lines) + "\n",
                         capture_output=True, text=True, check=True).stdout.split("\n")
    for line, got in zip(lines, out):
        if got != reference(reader, line):
            differences.append((line, reference(reader, line), got))
    for text in mixed:
        got = subprocess.run([converter, "--words", "--style=numbers"], input=text, capture_output=True, text=True,
                             check=True).stdout[:-1]
        if got != reference(reader, text):
            differences.append((text, reference(reader, text), got))
    for text, expected, got in differences[:5]:
        print(f"{text!r}\n  reference: {expected}\n  converter: {got}")
    print(f"{len(lines) + len(mixed)} texts, {len(differences)} read differently")
    return 1 if differences else 0


if __name__ == "__main__":
    sys.exit(main())
