#!/usr/bin/env python3
"""Times the Python package on the benchmark corpus against a pure-Python per-character
dictionary look-up, the least work that any converter written in Python does.

    python3 bench/python_binding.py [CORPUS] [--rounds N]

CORPUS defaults to bench/corpus/corpus.txt (bench/make_corpus.sh makes it). The mibolan
module is the one Python imports: install the wheel into a virtual environment and run this
with its python (bench/README.md says how). Prints the median of each measurement and the
ratios as a Markdown table.
"""

import argparse
import statistics
import time
from pathlib import Path

import mibolan
from mibolan import _mibolan


def dictionary_table():
    """Each character of the built-in dictionary and its reading as convert writes it alone."""
    characters = [line.split(" ", 1)[0] for line in _mibolan.dictionary_text().splitlines()]
    return {char: mibolan.convert(char) for char in characters}


def lookup_convert(text, table):
    """convert(text) in pure Python: each character looked up, the readings joined."""
    return "".join([table[char] for char in text if char in table])


def lookup_lazy_pinyin(text, syllables):
    """lazy_pinyin(text) in pure Python: a syllable per character, other text kept as runs."""
    result = []
    run = []
    for char in text:
        syllable = syllables.get(char)
        if syllable is None:
            run.append(char)
            continue
        if run:
            result.append("".join(run))
            run = []
        result.append(syllable)
    if run:
        result.append("".join(run))
    return result


def median_seconds(function, rounds):
    function()  # warm-up: caches, the allocator
    times = []
    for _ in range(rounds):
        start = time.perf_counter()
        function()
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def main():
    here = Path(__file__).resolve().parent
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("corpus", nargs="?", default=here / "corpus" / "corpus.txt", type=Path)
    parser.add_argument("--rounds", type=int, default=5)
    arguments = parser.parse_args()

    data = arguments.corpus.read_bytes()
    text = data.decode("utf-8")
    table = dictionary_table()
    # Without tones, as lazy_pinyin writes by default.
    syllables = {char: mibolan.lazy_pinyin(char, words=False)[0] for char in table}

    rows = [
        ("convert(str)", lambda: mibolan.convert(text), lambda: lookup_convert(text, table)),
        ("convert(bytes)", lambda: mibolan.convert(data), lambda: lookup_convert(data.decode("utf-8"), table)),
        ("convert(str, words=True)", lambda: mibolan.convert(text, words=True), lambda: lookup_convert(text, table)),
        ("lazy_pinyin(str, words=False)", lambda: mibolan.lazy_pinyin(text, words=False),
         lambda: lookup_lazy_pinyin(text, syllables)),
        ("lazy_pinyin(str)", lambda: mibolan.lazy_pinyin(text), lambda: lookup_lazy_pinyin(text, syllables)),
    ]
    megabytes = len(data) / 1e6
    print(f"corpus: {len(data):,} bytes, {len(text):,} characters; median of {arguments.rounds} rounds\n")
    print("| call | mibolan ms | MB/s | pure-Python look-up ms | speed ratio |")
    print("|---|---:|---:|---:|---:|")
    for name, ours, floor in rows:
        ours_s = median_seconds(ours, arguments.rounds)
        floor_s = median_seconds(floor, arguments.rounds)
        print(f"| {name} | {ours_s * 1e3:,.1f} | {megabytes / ours_s:,.0f} | {floor_s * 1e3:,.0f} | "
              f"{floor_s / ours_s:,.1f} |")


if __name__ == "__main__":
    main()
