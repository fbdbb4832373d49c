#!/usr/bin/env python3
"""Measures how many characters get the right reading: Mibolan's reading by word, its
default conversion, and the word-aware pinyin converters of the npm registry, side by side.

Usage: python3 tools/evaluate_readings.py [--engine converter|prototype] [--folds K]
                                          [--frequent N] [--no-peers] [--build DIR]

Three sets of labelled text:
  - folds: the labelled sentences of tests/data/polyphones (Wikipedia, one labelled
    polyphonic character each), in K folds (sentence i is in fold i mod K); the polyphone
    model that reads a fold is trained without it;
  - frequent words: jieba's N most frequent words of two or more characters that CC-CEDICT
    reads one way, with that reading as the word list writes it (biased towards a word list
    made from CC-CEDICT: Mibolan reads these words from the list itself);
  - everyday sentences: tests/data/everyday_readings.tsv, written and checked by hand.
None of the three is used to tune anything else than the model trained on the folds.

--engine converter (the default) measures the real converter: for each fold it configures
build/evaluate with the fold's model (CMake cache variables MIBOLAN_POLYPHONE_MODEL and
MIBOLAN_WORD_LIST), rebuilds mibolan-convert, and reads its output of
`--words --style=annotated --keep-lines`. --engine prototype measures the Python reference
of tools/wordreadings.py instead. The peers run from bench/accuracy (installed there with npm).
--compare reads the sentences with both, the committed model in each, and prints the lines
where the converter and the Python reference disagree (exit status 1 if any).

Accuracy is per character: strict (same syllable and tone) and, in brackets, lenient (a
neutral tone on one side and the full tone on the other count as right, for the sources'
different neutral-tone conventions). "poly" counts only the polyphonic characters: those
with more than one reading among the word list and the character dictionary.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unicodedata
from collections import Counter

REPO_ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(REPO_ROOT, "tools"))

import gen_lexicon  # noqa: E402
import train_polyphone_model as trainer  # noqa: E402
import wordreadings as wr  # noqa: E402

EVERYDAY = os.path.join(REPO_ROOT, "tests", "data", "everyday_readings.tsv")
PEERS_DIR = os.path.join(REPO_ROOT, "bench", "accuracy")
PEERS = [
    ("pinyin-pro 3.29.4", "pinyin-pro"),
    ("@napi-rs/pinyin 1.8.0, segmenter jieba", "napi-jieba"),
    ("@napi-rs/pinyin 1.8.0, segmenter phrase", "napi-phrase"),
    ("pinyin 4.0.0, segment @node-rs/jieba", "pinyin-jieba"),
    ("pinyin 4.0.0, segment Intl.Segmenter", "pinyin-intl"),
]
TONE_OF_MARK = {"\u0304": "1", "\u0301": "2", "\u030C": "3", "\u0300": "4"}


class EvaluationError(Exception):
    pass


# --- Labelled sets: [(line, {index: reading})] -----------------------------------------------


def everyday_set(dictionary, path=EVERYDAY):
    items = []
    with open(path, encoding="utf-8") as handle:
        for number, line in enumerate(handle, 1):
            if line.startswith("#") or not line.strip():
                continue
            sentence, readings = line.rstrip("\n").split("\t")
            readings = readings.split(" ")
            indexes = [i for i, c in enumerate(sentence) if c in dictionary]
            if len(indexes) != len(readings) or not all(wr.is_numbered_syllable(r) for r in readings):
                raise EvaluationError(f"{path}:{number}: readings do not fit the sentence")
            items.append((sentence, dict(zip(indexes, readings))))
    return items


def word_list_sources():
    """(CC-CEDICT, jieba's word counts), as gen_lexicon loads them."""
    for path in (gen_lexicon.DEFAULT_CEDICT, gen_lexicon.DEFAULT_JIEBA):
        if not os.path.exists(path):
            raise EvaluationError(f"{path} not found: tools/data-sources/install.sh installs the word-list sources")
    return gen_lexicon.load_cedict(gen_lexicon.DEFAULT_CEDICT), gen_lexicon.load_jieba(gen_lexicon.DEFAULT_JIEBA)


def frequent_set(count, dictionary, cedict, jieba):
    """jieba's `count` most frequent words of two or more characters with one reading."""
    entries = gen_lexicon.build(cedict, jieba, dictionary, 0)
    ranked = sorted((w for w, (_, r) in entries.items() if r and len(w) > 1 and w in jieba),
                    key=lambda w: (-jieba[w], w))
    return [(w, dict(enumerate(wr.without_tone_changes(w, entries[w][1])))) for w in ranked[:count]]


def fold_sets(folds):
    labelled = trainer.load_labelled(trainer.DEFAULT_DEV_DIR)
    return labelled, [[(t, {i: r}) for n, (t, i, r) in enumerate(labelled) if n % folds == k]
                      for k in range(folds)]


# --- Scoring ---------------------------------------------------------------------------------


def lenient_equal(got, want):
    if got == want:
        return True
    return bool(got) and got[:-1] == want[:-1] and "5" in (got[-1], want[-1])


def with_tone_digit(reading):
    """A rule's reading without a tone digit (暖和 huo), as the converter shows it: unmarked."""
    return reading + "5" if reading and not reading[-1].isdigit() else reading


def score(items, outputs, polyphonic, counter, key):
    for (line, labels), readings in zip(items, outputs):
        for index, want in labels.items():
            got = with_tone_digit(readings.get(index, ""))
            for subset in ("all", "poly") if line[index] in polyphonic else ("all",):
                counter[(key, subset, "n")] += 1
                counter[(key, subset, "strict")] += got == want
                counter[(key, subset, "lenient")] += lenient_equal(got, want)


# --- Systems ---------------------------------------------------------------------------------


def numbered_from_marked(syllable):
    tone = "5"
    letters = []
    for ch in unicodedata.normalize("NFD", syllable):
        if ch in TONE_OF_MARK:
            tone = TONE_OF_MARK[ch]
        elif ch == "\u0308" and letters and letters[-1] == "u":
            letters[-1] = "ü"
        else:
            letters.append(ch)
    return "".join(letters) + tone


def parse_annotated(line, output):
    """{index: numbered syllable} from the converter's annotated output of one line."""
    readings = {}
    position = 0
    for index, char in enumerate(line):
        if output.startswith(char + "(", position):
            close = output.index(")", position)
            readings[index] = numbered_from_marked(output[position + 2:close])
            position = close + 1
    if position != len(output):
        raise EvaluationError(f"cannot align the converter's output {output!r} with {line!r}")
    return readings


class Converter:
    """The real mibolan-convert, built in its own folder with a given model."""

    def __init__(self, build_dir):
        self.build_dir = build_dir

    def build(self, model_path):
        configure = ["cmake", "-S", REPO_ROOT, "-B", self.build_dir, "-G", "Ninja",
                     "-DCMAKE_BUILD_TYPE=Release", "-DMIBOLAN_BUILD_TESTS=OFF",
                     "-DMIBOLAN_BUILD_BENCHMARKS=OFF", f"-DMIBOLAN_POLYPHONE_MODEL={model_path}",
                     f"-DMIBOLAN_WORD_LIST={wr.WORDS}"]
        for command in (configure, ["cmake", "--build", self.build_dir, "--target", "mibolan-convert", "-j2"]):
            result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
            if result.returncode != 0:
                raise EvaluationError(f"{' '.join(command)} failed:\n{result.stdout[-3000:]}")
        self.program = os.path.join(self.build_dir, "cli", "mibolan-convert")
        help_text = subprocess.run([self.program, "--help"], capture_output=True, text=True).stdout
        if "--words" not in help_text:
            raise EvaluationError("this mibolan-convert has no --words option yet: use --engine prototype")

    def read(self, lines, words):
        options = ["--words"] if words else []
        text = "".join(line + "\n" for line in lines)
        result = subprocess.run([self.program, *options, "--style=annotated", "--keep-lines"],
                                input=text.encode("utf-8"), capture_output=True)
        if result.returncode != 0:
            raise EvaluationError(result.stderr.decode("utf-8", "replace"))
        outputs = result.stdout.decode("utf-8").split("\n")
        return [parse_annotated(line, out) for line, out in zip(lines, outputs)]


class Prototype:
    """The Python reference of tools/wordreadings.py."""

    def __init__(self, words):
        self.words = words
        self.default_reader = wr.Reader(words, use_rules=True)
        self.reader = None

    def build(self, model_path):
        margin, model, corrections = wr.load_model(model_path)
        self.reader = wr.Reader(self.words, model, margin, self.default_reader.dictionary, self.default_reader.rules,
                                corrections=corrections)

    def read(self, lines, words):
        if words:
            # One text of all lines, as the converter reads them.
            readings = self.reader.readings("".join(line + "\n" for line in lines))
            result = []
            start = 0
            for line in lines:
                result.append({i - start: r for i, r in readings.items() if start <= i < start + len(line)})
                start += len(line) + 1
            return result
        dictionary, rules = self.default_reader.dictionary, self.default_reader.rules
        return [{i: wr.context_reading(rules, line, i) or dictionary[c]
                 for i, c in enumerate(line) if c in dictionary} for line in lines]


def peer_readings(peer, lines):
    with tempfile.NamedTemporaryFile("w", encoding="utf-8", suffix=".txt", delete=False) as handle:
        handle.write("".join(line + "\n" for line in lines))
    try:
        with open(handle.name, encoding="utf-8") as source:
            result = subprocess.run(["node", os.path.join(PEERS_DIR, "readings.js"), peer], stdin=source,
                                    capture_output=True, cwd=PEERS_DIR)
    finally:
        os.remove(handle.name)
    if result.returncode != 0:
        raise EvaluationError(f"peer {peer}: {result.stderr.decode('utf-8', 'replace')}")
    if result.stderr:
        sys.stderr.write(result.stderr.decode("utf-8", "replace"))
    rows = result.stdout.decode("utf-8").split("\n")
    return [{i: r for i, r in enumerate(row.split("\t")) if r} for row in rows[:len(lines)]]


def install_peers():
    if shutil.which("node") is None or shutil.which("npm") is None:
        raise EvaluationError("the peers need Node.js and npm (or use --no-peers)")
    # Not "npm ci": the registry may serve only this platform's build of @napi-rs/pinyin.
    subprocess.run(["npm", "install", "--no-save", "--no-audit", "--no-fund", "--loglevel=error"],
                   cwd=PEERS_DIR, check=True, stdout=sys.stderr)


# --- Report ----------------------------------------------------------------------------------


def cell(counter, key, subset):
    n = counter[(key, subset, "n")]
    if not n:
        return "–"
    return (f"{100 * counter[(key, subset, 'strict')] / n:.2f} % "
            f"({100 * counter[(key, subset, 'lenient')] / n:.2f})")


def report(rows, counter, sizes):
    print("| reader | folds | frequent words: all | frequent words: poly | everyday: all | everyday: poly |")
    print("|---|---|---|---|---|---|")
    for label, key in rows:
        print(f"| {label} | {cell(counter, (key, 'folds'), 'all')} | "
              f"{cell(counter, (key, 'frequent'), 'all')} | {cell(counter, (key, 'frequent'), 'poly')} | "
              f"{cell(counter, (key, 'everyday'), 'all')} | {cell(counter, (key, 'everyday'), 'poly')} |")
    print()
    print(f"Characters: folds {sizes['folds']} (one polyphone a sentence), frequent words {sizes['frequent']}, "
          f"everyday sentences {sizes['everyday']}. Strict accuracy, lenient in brackets.")


def parse_args(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--engine", choices=("converter", "prototype"), default="converter")
    parser.add_argument("--folds", type=int, default=5)
    parser.add_argument("--frequent", type=int, default=3000, help="how many frequent words")
    parser.add_argument("--no-peers", action="store_true", help="leave out the npm converters")
    parser.add_argument("--compare", action="store_true",
                        help="only compare the converter's readings with the Python reference's")
    parser.add_argument("--build", default=os.path.join(REPO_ROOT, "build", "evaluate"),
                        help="build folder of the converter engine")
    return parser.parse_args(argv)


def compare_engines(args, words, dictionary):
    """Reads the labelled and everyday sentences with the converter and with the Python
    reference, both with the committed model, and prints the lines where they differ."""
    converter, prototype = Converter(args.build), Prototype(words)
    converter.build(wr.MODEL)
    prototype.build(wr.MODEL)
    lines = [text for text, _, _ in trainer.load_labelled(trainer.DEFAULT_DEV_DIR)]
    lines += [line for line, _ in everyday_set(dictionary)]
    differ = 0
    for line, a, b in zip(lines, converter.read(lines, True), prototype.read(lines, True)):
        b = {i: with_tone_digit(r) for i, r in b.items()}
        if a != b:
            differ += 1
            if differ <= 20:
                print(line)
                print("  converter: " + " ".join(a.get(i, "") for i in sorted(set(a) | set(b))))
                print("  reference: " + " ".join(b.get(i, "") for i in sorted(set(a) | set(b))))
    print(f"{differ} of {len(lines)} lines read differently")
    return differ == 0


def main(argv=None):
    args = parse_args(argv)
    words = wr.load_words()
    dictionary = wr.load_dictionary()
    if args.compare:
        sys.exit(0 if compare_engines(args, words, dictionary) else 1)
    readings_of = {}
    for word, (_, reading) in words.items():
        for char, syllable in zip(word, reading or ()):
            readings_of.setdefault(char, set()).add(syllable)
    polyphonic = {c for c, r in readings_of.items() if len(r | {dictionary[c]}) > 1}

    labelled, folds = fold_sets(args.folds)
    cedict, jieba = word_list_sources()
    sets = {"frequent": frequent_set(args.frequent, dictionary, cedict, jieba), "everyday": everyday_set(dictionary)}
    sizes = {"folds": len(labelled)}
    sizes.update({name: sum(len(labels) for _, labels in items) for name, items in sets.items()})

    engine = Converter(args.build) if args.engine == "converter" else Prototype(words)
    context = trainer.Context(words, dictionary)
    attested = trainer.attested_readings(cedict)
    counter = Counter()
    os.makedirs(args.build, exist_ok=True)
    for k, fold in enumerate(folds):
        print(f"evaluate: fold {k + 1} of {args.folds}: training, building, reading", file=sys.stderr)
        training = [x for n, x in enumerate(labelled) if n % args.folds != k]
        model_path = os.path.join(args.build, f"polyphone_model.fold{k}.txt")
        with open(model_path, "w", encoding="utf-8", newline="\n") as handle:
            handle.write(trainer.render(*trainer.train(context, training, attested)))
        engine.build(model_path)
        lines = [line for line, _ in fold]
        score(fold, engine.read(lines, True), polyphonic, counter, ("words", "folds"))
        score(fold, engine.read(lines, False), polyphonic, counter, ("default", "folds"))

    print("evaluate: the committed model on the frequent words and everyday sentences", file=sys.stderr)
    engine.build(wr.MODEL)
    for name, items in sets.items():
        lines = [line for line, _ in items]
        score(items, engine.read(lines, True), polyphonic, counter, ("words", name))
        score(items, engine.read(lines, False), polyphonic, counter, ("default", name))

    rows = [(f"Mibolan --words ({args.engine})", "words"), (f"Mibolan default ({args.engine})", "default")]
    if not args.no_peers:
        install_peers()
        for label, peer in PEERS:
            print(f"evaluate: {label}", file=sys.stderr)
            all_items = {"folds": [x for fold in folds for x in fold], **sets}
            for name, items in all_items.items():
                score(items, peer_readings(peer, [line for line, _ in items]), polyphonic, counter, (peer, name))
            rows.append((label, peer))
    report(rows, counter, sizes)


if __name__ == "__main__":
    try:
        main()
    except (EvaluationError, subprocess.CalledProcessError) as error:
        sys.exit(f"evaluate: {error}")
