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
  - everyday sentences: tests/data/everyday_readings.tsv, written and checked by hand;
  - running text: tests/data/running_text/*.tsv, prose of Debian packages (fortunes-zh,
    manpages-zh) labelled by the word list and reviewed by hand (see its README.md);
  - textbook words: tests/data/textbook_words.tsv, words with the pinyin textbooks print
    (neutral tones, changed tones of 一 and 不), written by hand.
None of them is used to tune anything else than the model trained on the folds. The
converter reads each with --words, --textbook and by default.

--engine converter (the default) measures the real converter: for each fold it configures
build/evaluate with the fold's model (CMake cache variables MIBOLAN_POLYPHONE_MODEL and
MIBOLAN_WORD_LIST), rebuilds mibolan-convert, and reads its output of
`--words --style=annotated --keep-lines`. --engine prototype measures the Python reference
of tools/wordreadings.py instead. The peers run from bench/accuracy (installed there with npm).
--compare reads the sentences with both, the committed model in each, and prints the lines
where the converter and the Python reference disagree (exit status 1 if any).

Accuracy is per character: strict (same syllable and tone) and, in brackets, lenient (a
neutral tone on one side and the full tone of the same syllable on the other count as right
where the word list reads that character's syllable neutral in some word: the benchmark
writes 知识 zhī shí where the standard dictionary writes zhī shi). "poly" counts only the polyphonic characters: those
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
RUNNING_TEXT = [os.path.join(REPO_ROOT, "tests", "data", "running_text", name)
                for name in ("fortunes.tsv", "manpages.tsv")]
TEXTBOOK = os.path.join(REPO_ROOT, "tests", "data", "textbook_words.tsv")
PEERS_DIR = os.path.join(REPO_ROOT, "bench", "accuracy")
PEERS = [
    ("pinyin-pro 3.29.4", "pinyin-pro"),
    ("@napi-rs/pinyin 1.8.0, segmenter jieba", "napi-jieba"),
    ("@napi-rs/pinyin 1.8.0, segmenter phrase", "napi-phrase"),
    ("pinyin 4.0.0, segment @node-rs/jieba", "pinyin-jieba"),
    ("pinyin 4.0.0, segment Intl.Segmenter", "pinyin-intl"),
]


class EvaluationError(Exception):
    pass


# --- Labelled sets: [(line, {index: reading})] -----------------------------------------------


def textbook_set(path=TEXTBOOK):
    """The textbook-style words: [(word, {index: reading})]."""
    items = []
    with open(path, encoding="utf-8") as handle:
        for number, line in enumerate(handle, 1):
            if line.startswith("#") or not line.strip():
                continue
            word, reading = line.rstrip("\n").split("\t")
            syllables = reading.split(" ")
            if len(syllables) != len(word) or not all(wr.is_numbered_syllable(r) for r in syllables):
                raise EvaluationError(f"{path}:{number}: reading does not fit the word")
            items.append((word, dict(enumerate(syllables))))
    return items


def everyday_set(dictionary, path=EVERYDAY):
    """Sentences with a reading for each character that has a dictionary line:
    [(sentence, {index: reading})]."""
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


def frequent_set(count, words, jieba):
    """jieba's `count` most frequent words of two or more characters that the word list reads
    one way, with that reading."""
    ranked = sorted((w for w, (_, r) in words.items() if r and len(w) > 1 and w in jieba),
                    key=lambda w: (-jieba[w], w))
    return [(w, dict(enumerate(wr.without_tone_changes(w, words[w][1])))) for w in ranked[:count]]


def fold_sets(folds):
    labelled = trainer.load_labelled(trainer.DEFAULT_DEV_DIR)
    return labelled, [[(t, {i: r}) for n, (t, i, r) in enumerate(labelled) if n % folds == k]
                      for k in range(folds)]


# --- Scoring ---------------------------------------------------------------------------------


def lenient_equal(got, want, char, neutral):
    """Equal, or the same syllable in the neutral tone on one side and a full tone on the
    other where the word data reads this character's syllable neutral (`neutral` holds
    character + neutral syllable): a difference of convention (知识 zhī shi or zhī shí)."""
    if got == want:
        return True
    return (bool(got) and got[:-1] == want[:-1] and "5" in (got[-1], want[-1])
            and char + got[:-1] + "5" in neutral)


def neutral_syllables(words):
    """Character + neutral syllable for every syllable after the first that a word of the
    list reads in the neutral tone."""
    return {char + syllable for word, (_, reading) in words.items() if reading and len(word) > 1
            for char, syllable in list(zip(word, reading))[1:] if syllable.endswith("5")}


def with_tone_digit(reading):
    """A rule's reading without a tone digit (暖和 huo), as the converter shows it: unmarked."""
    return reading + "5" if reading and not reading[-1].isdigit() else reading


def score(items, outputs, polyphonic, neutral, counter, key):
    for (line, labels), readings in zip(items, outputs):
        for index, want in labels.items():
            got = with_tone_digit(readings.get(index, ""))
            for subset in ("all", "poly") if line[index] in polyphonic else ("all",):
                counter[(key, subset, "n")] += 1
                counter[(key, subset, "strict")] += got == want
                counter[(key, subset, "lenient")] += lenient_equal(got, want, line[index], neutral)


# --- Systems ---------------------------------------------------------------------------------


numbered_from_marked = gen_lexicon.numbered_from_marked


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
        if "--textbook" not in help_text:
            raise EvaluationError("this mibolan-convert has no --textbook option yet: use --engine prototype")

    def read(self, lines, mode):
        options = {"default": [], "words": ["--words"], "textbook": ["--textbook"]}[mode]
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

    def read(self, lines, mode):
        if mode == "textbook":
            return None  # the tone changes of 一 and 不 are the converter's
        if mode == "words":
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


COLUMNS = [("folds", "all"), ("frequent", "all"), ("frequent", "poly"), ("everyday", "all"), ("everyday", "poly"),
           ("running", "all"), ("running", "poly"), ("textbook", "all")]
TITLES = {"folds": "folds", "frequent": "frequent words", "everyday": "everyday", "running": "running text",
          "textbook": "textbook words"}


def report(rows, counter, sizes):
    print("| reader | " + " | ".join(TITLES[name] + ("" if name in ("folds", "textbook") else f": {subset}")
                                      for name, subset in COLUMNS) + " |")
    print("|---" * (len(COLUMNS) + 1) + "|")
    for label, key in rows:
        print(f"| {label} | " + " | ".join(cell(counter, (key, name), subset) for name, subset in COLUMNS) + " |")
    print()
    print(f"Characters: folds {sizes['folds']} (one polyphone a sentence), frequent words {sizes['frequent']}, "
          f"everyday sentences {sizes['everyday']}, running text {sizes['running']}, textbook words "
          f"{sizes['textbook']}. Strict accuracy; in brackets, a neutral against a full tone forgiven where the "
          "word list reads the syllable neutral.")


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
    """Reads the labelled, everyday and running-text sentences with the converter and with the Python
    reference, both with the committed model, and prints the lines where they differ."""
    converter, prototype = Converter(args.build), Prototype(words)
    converter.build(wr.MODEL)
    prototype.build(wr.MODEL)
    lines = [text for text, _, _ in trainer.load_labelled(trainer.DEFAULT_DEV_DIR)]
    lines += [line for path in [EVERYDAY, *RUNNING_TEXT] for line, _ in everyday_set(dictionary, path)]
    differ = 0
    for line, a, b in zip(lines, converter.read(lines, "words"), prototype.read(lines, "words")):
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
    reviewed = gen_lexicon.load_reviewed(gen_lexicon.DEFAULT_REVIEWED, dictionary)
    neutral = neutral_syllables(words)
    sets = {"frequent": frequent_set(args.frequent, words, jieba), "everyday": everyday_set(dictionary),
            "running": [item for path in RUNNING_TEXT for item in everyday_set(dictionary, path)],
            "textbook": textbook_set()}
    sizes = {"folds": len(labelled)}
    sizes.update({name: sum(len(labels) for _, labels in items) for name, items in sets.items()})

    engine = Converter(args.build) if args.engine == "converter" else Prototype(words)
    modes = ("words", "textbook", "default") if args.engine == "converter" else ("words", "default")
    context = trainer.Context(words, dictionary)
    attested = trainer.attested_readings(cedict)
    counter = Counter()
    os.makedirs(args.build, exist_ok=True)

    def read_and_score(items, name):
        lines = [line for line, _ in items]
        for mode in modes:
            score(items, engine.read(lines, mode), polyphonic, neutral, counter, (mode, name))

    for k, fold in enumerate(folds):
        print(f"evaluate: fold {k + 1} of {args.folds}: training, building, reading", file=sys.stderr)
        training = [x for n, x in enumerate(labelled) if n % args.folds != k]
        model_path = os.path.join(args.build, f"polyphone_model.fold{k}.txt")
        with open(model_path, "w", encoding="utf-8", newline="\n") as handle:
            handle.write(trainer.render(*trainer.train(context, training, attested, reviewed=reviewed)))
        engine.build(model_path)
        read_and_score(fold, "folds")

    print("evaluate: the committed model on the frequent words, everyday sentences, running text, textbook words",
          file=sys.stderr)
    engine.build(wr.MODEL)
    for name, items in sets.items():
        read_and_score(items, name)

    labels = {"words": "--words", "textbook": "--textbook", "default": "default"}
    rows = [(f"Mibolan {labels[mode]} ({args.engine})", mode) for mode in modes]
    if not args.no_peers:
        install_peers()
        for label, peer in PEERS:
            print(f"evaluate: {label}", file=sys.stderr)
            all_items = {"folds": [x for fold in folds for x in fold], **sets}
            for name, items in all_items.items():
                score(items, peer_readings(peer, [line for line, _ in items]), polyphonic, neutral, counter,
                      (peer, name))
            rows.append((label, peer))
    report(rows, counter, sizes)


if __name__ == "__main__":
    try:
        main()
    except (EvaluationError, subprocess.CalledProcessError) as error:
        sys.exit(f"evaluate: {error}")
