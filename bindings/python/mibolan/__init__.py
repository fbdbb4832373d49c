"""Hanyu Pinyin with tone marks for Chinese text.

>>> import mibolan
>>> mibolan.convert("银行", words=True)
'yín háng '
>>> mibolan.lazy_pinyin("你好，world")
['ni', 'hao', '，world']

``convert`` writes what the ``mibolan-convert`` program writes for the same options;
``readings`` gives each character's reading; ``lazy_pinyin`` returns the list that
Python's pinyin libraries of that name return; ``Converter`` converts a text that
arrives in pieces. The engine is compiled in; it releases the GIL while it converts,
so threads convert in parallel.
"""

from __future__ import annotations

import enum
import unicodedata
from typing import Callable, Iterable, List, Mapping, Optional, Tuple, Union

from . import _mibolan
from ._mibolan import UserWords, UserWordsError

__all__ = [
    "convert",
    "readings",
    "lazy_pinyin",
    "Converter",
    "Style",
    "UserWords",
    "UserWordsError",
    "STYLES",
]

# The engine's styles, in the order of its enumeration.
STYLES = ("pinyin", "annotated", "numbers", "html")

UserWordsLike = Union[UserWords, Mapping[str, str], Iterable[Tuple[str, str]]]


def _style_number(style: str) -> int:
    try:
        return STYLES.index(style)
    except ValueError:
        raise ValueError(f"unknown style {style!r}: expected one of {', '.join(map(repr, STYLES))}") from None


def _user_words(user_words: Optional[UserWordsLike]) -> Optional[UserWords]:
    if user_words is None or isinstance(user_words, UserWords):
        return user_words
    if isinstance(user_words, (str, bytes)):
        raise TypeError("user_words takes a UserWords, a mapping or (word, reading) pairs; "
                        "for the text of a word file use UserWords.parse(text)")
    if isinstance(user_words, Mapping):
        return UserWords(user_words.items())
    return UserWords(user_words)


def _reading_options(words: Optional[bool], tone_sandhi: Optional[bool], textbook: bool,
                     user_words: Optional[UserWordsLike]) -> tuple:
    """(by_word, tone_sandhi, user_words) from the caller's options; None means "not given"."""
    by_word, sandhi = bool(words), bool(tone_sandhi)
    if textbook:
        if words is not None and not words:
            raise ValueError("textbook=True reads by word: it contradicts words=False")
        if tone_sandhi is not None and not tone_sandhi:
            raise ValueError("textbook=True changes the tones of 一 and 不: it contradicts tone_sandhi=False")
        by_word = sandhi = True
    if user_words is not None:
        if words is not None and not words:
            raise ValueError("user_words are read by word: they contradict words=False")
        by_word = True
    return by_word, sandhi, _user_words(user_words)


def _replaces(errors: str) -> bool:
    """Whether bytes that are not UTF-8 are read as U+FFFD: errors="replace" rather than "strict"."""
    if errors not in ("strict", "replace"):
        raise ValueError(f'errors must be "strict" or "replace", not {errors!r}')
    return errors == "replace"


def _thread_count(threads: int) -> int:
    if isinstance(threads, bool) or not isinstance(threads, int):
        raise TypeError(f"threads must be an int, not {type(threads).__name__}")
    if not 0 <= threads <= 1024:
        raise ValueError(f"threads must be from 0 (automatic) to 1024, not {threads}")
    return threads


def convert(text: Union[str, bytes], style: str = "pinyin", words: Optional[bool] = None,
            tone_sandhi: Optional[bool] = None, textbook: bool = False, keep_lines: bool = False,
            user_words: Optional[UserWordsLike] = None, errors: str = "strict", threads: int = 0) -> str:
    """The pinyin of ``text``, exactly as ``mibolan-convert`` writes it for the same options,
    without the line break that the program adds at the end of its output.

    text: a str, or UTF-8 bytes (a byte-order mark at the start is skipped).
    style: "pinyin" ("rén "), "annotated" ("人(rén)"), "numbers" ("ren2 ") or "html" (the
        body of an HTML page: each character in a ``<ruby>`` with its reading, all other text
        kept and escaped; the program puts it in a page of its own).
    words: read by word (校长 xiào zhǎng, 觉得 jué de) rather than by character.
    tone_sandhi: 一 and 不 with the tones that textbooks print (一个 yí gè, 不是 bú shì).
    textbook: the readings a primary-school textbook prints: by word, with the neutral tones
        of words and with the tone changes (it implies ``words`` and ``tone_sandhi``).
    keep_lines: end an output line wherever an input line ends; otherwise everything but
        the html style is one line.
    user_words: words whose readings you decide (a ``UserWords``, a mapping of words to
        readings, or (word, reading) pairs); it implies ``words``.
    errors: "strict" (the default) raises for bytes that are not UTF-8; "replace" reads each
        bad sequence as U+FFFD (kept in its place by the html style) and converts the rest.
    threads: how many threads the conversion may use: 0 (the default) lets it take a second
        one for a long str where two processors are usable, 1 never starts one.

    Raises ValueError for an unknown style, errors or threads value, or options that
    contradict each other (naming both), UnicodeEncodeError (a ValueError) for a lone
    surrogate in a str, UnicodeDecodeError with the byte offset for bytes that are not UTF-8,
    UserWordsError for a bad user word, and TypeError for text that is neither str nor bytes.
    """
    number = _style_number(style)
    by_word, sandhi, words_list = _reading_options(words, tone_sandhi, textbook, user_words)
    return _mibolan.convert(text, number, by_word, sandhi, bool(keep_lines), words_list, _replaces(errors),
                            _thread_count(threads))


def _check_str(text: object) -> None:
    if not isinstance(text, str):
        raise TypeError(f"expected str, not {type(text).__name__}")


def readings(text: str, words: Optional[bool] = None, tone_sandhi: Optional[bool] = None,
             textbook: bool = False, user_words: Optional[UserWordsLike] = None,
             numbers: bool = False) -> List[Tuple[str, Optional[str], int]]:
    """Every character of ``text`` as (character, reading, position): the reading as
    ``convert`` writes it ("rén"; with ``numbers=True`` "ren2"), None for a character that
    the conversion leaves out (Latin letters, punctuation, characters it does not know), and
    the position in code points, as ``text[position]`` finds it.

    The options are those of ``convert``; errors are raised as there.
    """
    _check_str(text)
    by_word, sandhi, words_list = _reading_options(words, tone_sandhi, textbook, user_words)
    written = (lambda numbered, marked: numbered) if numbers else (lambda numbered, marked: marked)
    return _mibolan.readings(text, by_word, sandhi, words_list, written)


class Converter:
    """Converts a text that arrives in pieces, as ``convert`` converts it whole.

    >>> converter = Converter(style="annotated", words=True)
    >>> converter.feed("校长") + converter.feed("觉得".encode()) + converter.finish()
    '校(xiào)长(zhǎng)觉(jué)得(de)'

    ``feed`` takes str or UTF-8 bytes, split anywhere (even inside a character's bytes), and
    returns what can be written so far; ``finish`` ends the text and returns the rest. Bytes
    that are not UTF-8 raise UnicodeDecodeError, whose ``start`` is the byte offset from the
    start of the whole text: the ``feed`` that is given them raises it (``finish`` for a
    character that the end of the text cuts off), and every call after it raises it again
    until ``finish``: the text after bad bytes is never converted. After ``finish`` the next
    ``feed`` starts a new text. With ``errors="replace"`` each bad sequence is read as U+FFFD
    instead. A Converter may be used from one thread at a time.
    """

    def __init__(self, style: str = "pinyin", words: Optional[bool] = None,
                 tone_sandhi: Optional[bool] = None, textbook: bool = False, keep_lines: bool = False,
                 user_words: Optional[UserWordsLike] = None, errors: str = "strict") -> None:
        number = _style_number(style)
        by_word, sandhi, words_list = _reading_options(words, tone_sandhi, textbook, user_words)
        self._converter = _mibolan.Converter(number, by_word, sandhi, bool(keep_lines), words_list,
                                             _replaces(errors))

    def feed(self, piece: Union[str, bytes]) -> str:
        """Takes the next piece of the text; returns what can be converted so far."""
        return self._converter.feed(piece)

    def finish(self) -> str:
        """Ends the text; returns the rest of the conversion."""
        return self._converter.finish()


class Style(enum.IntEnum):
    """The styles of ``lazy_pinyin``, with the numbers that other pinyin libraries give them."""

    NORMAL = 0  # zhong guo
    TONE = 1  # zhōng guó
    TONE2 = 2  # zho1ng guo2
    TONE3 = 8  # zhong1 guo2


_TONE_MARKS = {"\u0304": "1", "\u0301": "2", "\u030c": "3", "\u0300": "4"}


def _tone2_place(base: str) -> int:
    """Where the tone goes in a syllable without one: after a, o or e, the second of iu and
    ui, else the last vowel."""
    for vowel in "aoe":
        if vowel in base:
            return base.index(vowel) + 1
    for pair in ("iu", "ui"):
        if pair in base:
            return base.index(pair) + 2
    vowels = [i for i, letter in enumerate(base) if letter in "iuüv"]
    return vowels[-1] + 1 if vowels else len(base)


def _syllable_writer(style: Style, v_to_u: bool, neutral_tone_with_five: bool) -> Callable[[str, str], str]:
    """How lazy_pinyin writes a syllable, from its numbered ("lü4") and marked ("lǜ") forms."""

    def write(numbered: str, marked: str) -> str:
        if style == Style.TONE:
            return marked
        base = numbered.rstrip("12345")
        digit = numbered[len(base):]
        if digit == "5" or not digit:
            digit = "5" if neutral_tone_with_five else ""
        if not v_to_u:
            base = base.replace("ü", "v")
        if style == Style.NORMAL:
            return base
        if style == Style.TONE3:
            return base + digit
        # TONE2: the digit after the letter that carries the mark.
        place = None
        letters = 0
        for char in unicodedata.normalize("NFD", marked):
            if char in _TONE_MARKS:
                place = letters
            elif not unicodedata.combining(char):
                letters += 1
        if place is None:
            place = _tone2_place(base)
        return base[:place] + digit + base[place:]

    return write


def _hex_run(run: str) -> str:
    return "".join(f"{ord(char):x}" for char in run)


_ERRORS = {"default": None, "ignore": lambda run: None, "replace": _hex_run}


def lazy_pinyin(hans: Union[str, Iterable[str]], style: Union[Style, int] = Style.NORMAL,
                errors: Union[str, Callable[[str], object]] = "default", strict: bool = True,
                v_to_u: bool = False, neutral_tone_with_five: bool = False, tone_sandhi: bool = False,
                words: bool = True, user_words: Optional[UserWordsLike] = None) -> List[str]:
    """One syllable per Chinese character, and each run of other text as it is, in a list:
    the function of this name that Python's pinyin libraries offer, so that switching is one
    import (``from mibolan import lazy_pinyin``).

    >>> lazy_pinyin("中心")
    ['zhong', 'xin']
    >>> lazy_pinyin("你好☆☆", style=Style.TONE)
    ['nǐ', 'hǎo', '☆☆']

    hans: a str, or a list of strs each converted on its own (already cut into words).
    style: Style.NORMAL (no tones, the default), Style.TONE (tone marks), Style.TONE2 (the
        digit after the marked vowel) or Style.TONE3 (the digit at the end).
    errors: what becomes of a run of characters without a reading: "default" keeps it,
        "ignore" drops it, "replace" writes the hex code of each character, and a callable
        gets the run and returns a str, a list of them, or None.
    strict: accepted for compatibility; it changes nothing in these styles.
    v_to_u: write ü rather than v in the styles without tone marks.
    neutral_tone_with_five: write the neutral tone as 5 in the styles with digits.
    tone_sandhi: 一 and 不 with their changed tones (一个 yí gè).
    words: read by word (the default, as other libraries read phrases); False reads each
        character with its neighbours' rules only.
    user_words: words whose readings you decide, as for ``convert``.
    """
    del strict  # only the initials and finals styles of other libraries use it
    try:
        style = Style(style)
    except ValueError:
        raise ValueError(f"unsupported style {style!r}: expected one of "
                         f"{', '.join('Style.' + s.name for s in Style)}") from None
    if callable(errors):
        runs = errors
    elif errors in _ERRORS:
        runs = _ERRORS[errors]
    else:
        raise ValueError(f"unknown errors {errors!r}: expected one of {', '.join(map(repr, _ERRORS))} or a callable")
    by_word, sandhi, words_list = _reading_options(words, tone_sandhi, False, user_words)
    writer = _syllable_writer(style, v_to_u, neutral_tone_with_five)
    if isinstance(hans, str):
        return _mibolan.segments(hans, by_word, sandhi, words_list, writer, runs)
    if isinstance(hans, (bytes, bytearray)):
        raise TypeError("expected str or a list of str, not bytes")
    result: List[str] = []
    for part in hans:
        _check_str(part)
        result += _mibolan.segments(part, by_word, sandhi, words_list, writer, runs)
    return result
