"""Reading by word: the reference implementation in Python of what the converter's
--words option does, shared by the data tools (tools/gen_lexicon.py,
tools/train_polyphone_model.py, tools/evaluate_readings.py).

The method is described step by step in tools/README.md ("Reading by word"); the names
below follow it. In short: the characters that have a dictionary line form runs; each run
is segmented into the words of engine/data/words.txt by the segmentation of least cost;
a word with a reading gives its characters that reading; every other character takes its
dictionary reading, the context rules' reading where one applies, or the polyphone model's
reading where the model is confident. The model may also correct the reading of a word
that its training sentences read otherwise.
"""

import math
import os
import re
import sys

REPO_ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(REPO_ROOT, "tools"))

from gen_dictionary import SYLLABLES  # noqa: E402

DICTIONARY = os.path.join(REPO_ROOT, "engine", "data", "dictionary.txt")
WORDS = os.path.join(REPO_ROOT, "engine", "data", "words.txt")
MODEL = os.path.join(REPO_ROOT, "engine", "data", "polyphone_model.txt")
CONTEXT_RULES = os.path.join(REPO_ROOT, "engine", "ContextRules.h")
CHARACTER_READINGS = os.path.join(REPO_ROOT, "engine", "data", "character_readings.txt")
SIMPLIFIED = os.path.join(REPO_ROOT, "engine", "data", "simplified.txt")

NUMBERED = re.compile(r"^([a-zü]+)([1-5])$")

# Segmentation costs are integers: COST_SCALE * ln(total / freq), rounded half up.
COST_SCALE = 100
# A run with no point that every word avoids is still cut after this many characters.
MAX_RUN = 32
# A run right after one of these does not begin a phrase: the quoted or bracketed words before
# it are the word that a particle leans on (“砰”地一声, 表现(act)得). Straight quotes may open or
# close, and count as closing: a particle keeps its neutral reading after them.
CLOSING_MARKS = frozenset(")]}）］｝〉》」』】〕〗〙〛”’»›\"'＂＇")


def is_numbered_syllable(reading):
    match = NUMBERED.match(reading)
    return match is not None and match.group(1) in SYLLABLES


# --- Files ---------------------------------------------------------------------------------


def load_dictionary(path=DICTIONARY):
    """{character: numbered syllable} from dictionary.txt."""
    readings = {}
    with open(path, encoding="utf-8") as handle:
        for line in handle:
            head, _, reading = line.rstrip("\n").partition(" ")
            readings[head] = reading
    return readings


def load_tab_pairs(path):
    """{first field: second field} of a file of CHARACTER<TAB>VALUE lines."""
    with open(path, encoding="utf-8") as handle:
        return dict(line.rstrip("\n").split("\t") for line in handle)


def load_character_readings(path=CHARACTER_READINGS):
    """{character: numbered syllable} of the characters outside the dictionary."""
    return load_tab_pairs(path)


def load_simplified(path=SIMPLIFIED):
    """{traditional, variant or compatibility character: the simplified one read in its place}."""
    return load_tab_pairs(path)


class WordListError(Exception):
    """A words.txt line that breaks the format."""


def parse_word_line(line, number=0):
    """(word, freq, reading tuple or None) of one words.txt line."""
    fields = line.rstrip("\n").split("\t")
    if len(fields) != 3:
        raise WordListError(f"line {number}: expected WORD<TAB>FREQ<TAB>READING")
    word, freq, reading = fields
    if not word or not freq.isdigit() or int(freq) < 1:
        raise WordListError(f"line {number}: bad word or frequency")
    if reading == "-":
        return word, int(freq), None
    syllables = tuple(reading.split(" "))
    if len(syllables) != len(word) or not all(is_numbered_syllable(s) for s in syllables):
        raise WordListError(f"line {number}: reading {reading!r} does not fit {word}")
    return word, int(freq), syllables


def load_words(path=WORDS):
    """{word: (freq, reading tuple or None)} from words.txt."""
    words = {}
    with open(path, encoding="utf-8") as handle:
        for number, line in enumerate(handle, 1):
            word, freq, reading = parse_word_line(line, number)
            words[word] = (freq, reading)
    return words


def format_word_line(word, freq, reading):
    return f"{word}\t{freq}\t{' '.join(reading) if reading else '-'}\n"


def format_tab_pairs(mapping):
    """`mapping` as the data files write it: one line KEY<TAB>VALUE per key, in code-point order."""
    return "".join(f"{key}\t{mapping[key]}\n" for key in sorted(mapping))


def write_generated(text, path=None):
    """Writes a generated text to `path` with Unix line ends, or to standard output without one."""
    if path:
        with open(path, "w", encoding="utf-8", newline="\n") as handle:
            handle.write(text)
    else:
        sys.stdout.write(text)


# --- Segmentation --------------------------------------------------------------------------


def is_neutral(syllable):
    return syllable.endswith("5")


def without_tone_changes(word, reading):
    """A word's reading as the converter writes it without --tone-sandhi: the word list
    marks 不 unstressed (bu5) where textbooks print it so, which is a tone change."""
    return tuple("bu4" if char == "不" and syllable == "bu5" else syllable
                 for char, syllable in zip(word, reading))


def cost_of(freq, total):
    return int(math.floor(COST_SCALE * math.log(total / freq) + 0.5))


class Lexicon:
    """The word list with each entry's segmentation cost."""

    def __init__(self, words):
        self.words = words
        total = sum(freq for freq, _ in words.values())
        self.total = total
        self.cost = {word: cost_of(freq, total) for word, (freq, _) in words.items()}
        self.unknown_cost = cost_of(1, total)
        self.max_length = max((len(w) for w in words), default=1)

    def reading(self, word):
        entry = self.words.get(word)
        return entry[1] if entry else None

    def longest_word(self, text, start, end, backwards=False):
        """The longest entry of two or more characters that starts at `start` (or, backwards,
        ends at `start`), inside text[:end]; None if there is none."""
        for length in range(min(self.max_length, (start if backwards else end - start)), 1, -1):
            piece = text[start - length:start] if backwards else text[start:start + length]
            if piece in self.cost:
                return piece
        return None


def segment_run(run, lexicon):
    """Least-cost segmentation of a run of characters: a list of (start, end) pairs.

    Candidates are every entry of the word list that matches at a position, and the single
    character there (with the unknown cost when it has no entry). The costs add up. Among
    segmentations of equal cost the one whose last word is longest wins, position by
    position from the end (the forward pass keeps the first best predecessor, trying longer
    words first)."""
    n = len(run)
    best = [0] + [None] * n
    back = [0] * (n + 1)
    for end in range(1, n + 1):
        for length in range(min(lexicon.max_length, end), 0, -1):
            start = end - length
            piece = run[start:end]
            cost = lexicon.cost.get(piece)
            if cost is None:
                if length > 1:
                    continue
                cost = lexicon.unknown_cost
            total = best[start] + cost
            if best[end] is None or total < best[end]:
                best[end] = total
                back[end] = start
    pieces = []
    end = n
    while end > 0:
        pieces.append((back[end], end))
        end = back[end]
    pieces.reverse()
    return pieces


def run_cuts(run, lexicon):
    """Splits a run where no entry of two or more characters crosses (and after MAX_RUN
    characters without such a point): the pieces can be segmented on their own."""
    n = len(run)
    # reach[i]: the furthest end of an entry that starts at or before i.
    pieces = []
    start = 0
    reach = 0
    for i in range(n):
        for length in range(min(lexicon.max_length, n - i), 1, -1):
            if run[i:i + length] in lexicon.cost:
                reach = max(reach, i + length)
                break
        if reach <= i + 1 or i + 1 - start >= MAX_RUN:
            pieces.append((start, i + 1))
            start = i + 1
            reach = i + 1
    return pieces


def segment(text, lexicon, dictionary):
    """Segments of the whole text: (start, end) pairs over the characters that have a
    dictionary line; every other character is in no segment."""
    segments = []
    i = 0
    n = len(text)
    while i < n:
        if text[i] not in dictionary:
            i += 1
            continue
        j = i
        while j < n and text[j] in dictionary:
            j += 1
        run = text[i:j]
        for piece_start, piece_end in run_cuts(run, lexicon):
            for start, end in segment_run(run[piece_start:piece_end], lexicon):
                segments.append((i + piece_start + start, i + piece_start + end))
        i = j
    return segments


# --- Context rules -------------------------------------------------------------------------

_RULE = re.compile(r"\{u'(.)', (\d), Condition::(\w+), \{(.*?)\}, \"(\w+)\"\},?\s*$")
_TEST = re.compile(r"(Next|NextTwo|NextThree|Previous|PreviousTwo)\(\{(.*?)\}\)")
_LITERAL = re.compile(r'u"(.*?)"')


def load_context_rules(path=CONTEXT_RULES):
    """The context rules of the character conversion, read from the engine's table:
    {character: [(guard, condition, [(window, literals)], reading)]} in table order."""
    with open(path, encoding="utf-8") as handle:
        source = handle.read()
    # Rules may span lines: join each rule's lines first.
    start = source.index("kContextRules = {{")
    body = source[start:source.index("}};", start)]
    rules = {}
    joined = re.sub(r",\s*\n\s+(?=[A-Z])", ", ", body)
    for line in joined.splitlines():
        match = _RULE.search(line.strip())
        if not match:
            continue
        char, guard, condition, tests, reading = match.groups()
        parsed = [(window, _LITERAL.findall(literals)) for window, literals in _TEST.findall(tests)]
        rules.setdefault(char, []).append((int(guard), condition, parsed, reading))
    count = sum(len(r) for r in rules.values())
    if count != 43:
        raise ValueError(f"read {count} context rules from {path}, expected 43")
    return rules


def _window(text, index, window):
    if window == "Next":
        return text[index + 1:index + 2]
    if window == "NextTwo":
        return text[index + 1:index + 3]
    if window == "NextThree":
        return text[index + 1:index + 4]
    if window == "Previous":
        return text[index - 1:index] if index >= 1 else ""
    return text[index - 2:index] if index >= 2 else ""


def matching_rule(rules, text, index):
    """(reading, condition) of the last rule that matches text[index] (0-based), or None."""
    result = None
    for guard, condition, tests, reading in rules.get(text[index], ()):
        if index + 1 < guard:
            continue
        held = [(_window(text, index, w) or None) in literals for w, literals in tests]
        if condition == "Always" or (condition == "Any" and any(held)) or (condition == "Both" and all(held)):
            result = (reading, condition)
    return result


def context_reading(rules, text, index):
    """The rules' reading for text[index] (0-based), or None."""
    rule = matching_rule(rules, text, index)
    return rule[0] if rule else None


# --- Polyphone model -----------------------------------------------------------------------

BOUNDARY = "#"  # stands for a position before the text's start or after its end


def character_class(char):
    """Digits stand as "0" and Latin letters as "a" in the features; any other character as
    itself."""
    if char.isdigit() and char.isascii() or "０" <= char <= "９":
        return "0"
    if char.isascii() and char.isalpha() or "Ａ" <= char <= "Ｚ" or "ａ" <= char <= "ｚ":
        return "a"
    return char


def features(text, index, segment_of):
    """The model's features of the character text[index], in their fixed order.

    segment_of(index) gives the (start, end) of the segment holding the character. Every
    feature is a string "NAME=VALUE" (the bias is "b"); positions outside the text, and
    those at or beyond a line break, are BOUNDARY."""

    def char(offset):
        # The window stops at the text's ends and at line breaks.
        step = 1 if offset > 0 else -1
        for i in range(index + step, index + offset + step, step):
            if i < 0 or i >= len(text) or text[i] in "\r\n":
                return BOUNDARY
        return character_class(text[index + offset])

    start, end = segment_of(index)
    c = [char(k) for k in (-2, -1, 0, 1, 2)]
    result = [
        "b",  # the bias
        "L2=" + c[0],
        "L1=" + c[1],
        "R1=" + c[3],
        "R2=" + c[4],
        "LR=" + c[1] + c[3],
    ]
    if end - start > 1:
        result.append("W=" + text[start:end])
    return result


def load_model(path=MODEL):
    """(margin, {character: (readings, {feature: [weight per reading]})}, {word: reading tuple})
    from the model file: the margin, the characters' blocks and the corrected words."""
    model = {}
    corrections = {}
    margin = None
    current = None
    with open(path, encoding="utf-8") as handle:
        for line in handle:
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            fields = line.split("\t")
            if fields[0] == "margin":
                margin = int(fields[1])
            elif fields[0] == "word":
                corrections[fields[1]] = tuple(fields[2].split(" "))
            elif fields[0] == "char":
                current = (fields[2].split(" "), {})
                model[fields[1]] = current
            else:
                current[1][fields[0]] = [int(v) for v in fields[1].split(" ")]
    if margin is None:
        raise ValueError(f"{path}: no margin line")
    return margin, model, corrections


def model_reading(entry, feats, default, margin):
    """The model's reading when it leads the default reading by at least `margin`, else None.

    The score of a reading is the sum of its weights over the features present; the best
    reading is the first of the highest score, in the order of the character's readings.
    A default reading that is not among them scores as the lowest of them."""
    readings, table = entry
    scores = [0] * len(readings)
    for f in feats:
        weights = table.get(f)
        if weights:
            for k, w in enumerate(weights):
                scores[k] += w
    best = max(range(len(readings)), key=lambda k: (scores[k], -k))
    if readings[best] == default:
        return None
    base = scores[readings.index(default)] if default in readings else min(scores)
    return readings[best] if scores[best] - base >= margin else None


class Reader:
    """Reading by word with a given word list, model and margin."""

    def __init__(self, words, model=None, margin=0, dictionary=None, rules=None, use_rules=True, corrections=None):
        self.dictionary = dictionary or load_dictionary()
        self.own = load_character_readings()
        self.simplified = load_simplified()
        self.rules = (rules if rules is not None else load_context_rules()) if use_rules else {}
        self.lexicon = Lexicon(words)
        self.model = model or {}
        self.margin = margin
        self.corrections = corrections or {}

    def word_reading(self, word):
        """The reading of a segment of two or more characters: the model's correction of the
        word, else its entry's reading (None when its characters are read one by one)."""
        reading = self.corrections.get(word) or self.lexicon.reading(word)
        return without_tone_changes(word, reading) if reading else None

    def default_reading(self, text, index, begins_phrase=False):
        """(reading, firm): the rules' reading, else the character's own entry's reading, else
        the dictionary's. Firm when a rule matched on the neighbours, or when the entry gave
        the reading: evidence that the model's prior must not outweigh.

        `begins_phrase`: the character stands alone at the start of a run, not right after
        a closing quotation mark or bracket. An entry's neutral reading is that of an enclitic
        (过 guo5, 地 de5), which leans on the word before it: with none before, the entry says
        nothing of this place."""
        rule = matching_rule(self.rules, text, index)
        if rule:
            return rule[0], rule[1] != "Always"
        alone = self.lexicon.reading(text[index])
        if alone and not (begins_phrase and is_neutral(alone[0])):
            return alone[0], True
        return self.dictionary[text[index]], False

    def own_reading(self, original, key):
        """The reading of a character without a dictionary line: its simplified form's own,
        else its own; None when it has neither."""
        return self.own.get(key) or self.own.get(original)

    def readings(self, text):
        """{index: numbered syllable} for every character that has a reading: a dictionary line
        (of its simplified form), or an own reading.

        Everything is looked up in the text with each traditional, variant or compatibility
        character replaced by its simplified form (engine/data/simplified.txt)."""
        original = text
        text = "".join(self.simplified.get(char, char) for char in original)
        result = {}
        takes_part = {char for char in set(text) if char in self.dictionary}
        takes_part.update(char for char, orig in zip(text, original) if self.own_reading(orig, char))
        segments = segment(text, self.lexicon, takes_part)
        owner = {k: (s, e) for s, e in segments for k in range(s, e)}

        def begins_phrase_alone(start, end):
            return end - start == 1 and (start == 0 or (text[start - 1] not in takes_part
                                                         and text[start - 1] not in CLOSING_MARKS))
        for start, end in segments:
            word = self.word_reading(text[start:end]) if end - start > 1 else None
            for index in range(start, end):
                if text[index] not in self.dictionary:
                    result[index] = self.own_reading(original[index], text[index])
                    continue
                if word:
                    result[index] = word[index - start]
                    continue
                default, firm = self.default_reading(text, index, begins_phrase_alone(start, end))
                entry = self.model.get(text[index])
                chosen = None
                if entry:
                    feats = features(text, index, owner.__getitem__)
                    if firm:
                        # Only the context may speak against a firm default, not the prior.
                        feats = feats[1:]
                    chosen = model_reading(entry, feats, default, self.margin)
                result[index] = chosen or default
        return result
