import os
import subprocess

import pytest

import mibolan

# Mixed text: polyphonic characters, words, 一 and 不, Latin and digits, punctuation, CRLF and LF
# line breaks, a character beyond the basic plane, an invisible joiner inside a word, markup.
TEXT = "银行里三百六十行。\r\n校长觉得一个人不是<b>A&B</b>\n𠀀银\u200d行 妈妈看看，对不起\n"
OPTION_SETS = [
    {},
    {"words": True},
    {"tone_sandhi": True},
    {"words": True, "tone_sandhi": True},
    {"textbook": True},
    {"keep_lines": True},
    {"textbook": True, "keep_lines": True},
]
# Python stores a text in one, two or four bytes a character, which take different ways into the
# engine: each of them, and a text that starts with a byte-order mark.
TEXTS = [TEXT, TEXT.rstrip("\n"), TEXT.replace("𠀀", ""), "<é> & x\r\ny", "\ufeff人\ufeff人", ""]
CONVERTER = os.environ.get("MIBOLAN_CONVERT")
needs_converter = pytest.mark.skipif(not CONVERTER, reason="MIBOLAN_CONVERT names no mibolan-convert")


def run_converter(text, *arguments):
    return subprocess.run([CONVERTER, *arguments], input=text.encode(), capture_output=True, check=True).stdout.decode()


def flags(options):
    return [f"--{name.replace('_', '-')}" for name, on in options.items() if on]


@needs_converter
@pytest.mark.parametrize("options", OPTION_SETS)
@pytest.mark.parametrize("style", ["pinyin", "annotated", "numbers"])
@pytest.mark.parametrize("text", TEXTS)
def test_convert_writes_what_the_converter_writes(text, style, options):
    expected = run_converter(text, f"--style={style}", *flags(options))
    # The program ends its output with a line break unless the text's own kept one ends it.
    ends_own_line = options.get("keep_lines") and text.endswith("\n")
    assert mibolan.convert(text, style=style, **options) + ("" if ends_own_line else "\n") == expected
    assert mibolan.convert(text.encode(), style=style, **options) + ("" if ends_own_line else "\n") == expected


@needs_converter
@pytest.mark.parametrize("options", OPTION_SETS[:3])
@pytest.mark.parametrize("text", TEXTS[:-1])
def test_html_is_the_body_of_the_converters_page(text, options):
    page = run_converter(text, "--style=html", *flags(options))
    body = page.split('<div class="text">', 1)[1].rsplit("</div>\n</section>", 1)[0]
    assert mibolan.convert(text, style="html", **options) == body


@needs_converter
def test_user_words_read_as_the_converter_reads_its_file(tmp_path):
    words = "# names\n查良镛 zha1 liang2 yong1\n银行 yin2 xing2\n"
    (tmp_path / "words.txt").write_text(words, encoding="utf-8")
    text = "查良镛在银行里"
    expected = run_converter(text, f"--user-words={tmp_path / 'words.txt'}")
    for user_words in (mibolan.UserWords.parse(words), {"查良镛": "zhā liáng yōng", "银行": "yín xíng"},
                       [("查良镛", "zha1 liang2 yong1"), ("银行", "yin2 xing2")]):
        assert mibolan.convert(text, user_words=user_words) + "\n" == expected


@pytest.mark.parametrize("style", mibolan.STYLES)
@pytest.mark.parametrize("options", [{}, {"textbook": True}, {"keep_lines": True}])
def test_converter_output_does_not_depend_on_where_the_bytes_are_cut(style, options):
    data = TEXT.encode()
    whole = mibolan.convert(data, style=style, **options)
    for cut in range(len(data) + 1):
        converter = mibolan.Converter(style=style, **options)
        assert converter.feed(data[:cut]) + converter.feed(data[cut:]) + converter.finish() == whole, cut
    converter = mibolan.Converter(style=style, **options)
    assert "".join(converter.feed(char) for char in TEXT) + converter.finish() == whole


@pytest.mark.parametrize("data, offset", [
    (b"\xff", 0),
    ("我爱".encode() + b"\xff" + "人".encode(), 6),
    ("我".encode() + b"\xe7\x88", 3),  # cut off by the end
    (b"ab\xc0\xafcd", 2),  # overlong
    (b"a\xed\xa0\x80", 1),  # an encoded surrogate
    (b"a\x80", 1),  # a stray continuation byte
])
def test_bytes_that_are_not_utf8_raise_with_their_offset(data, offset):
    with pytest.raises(UnicodeDecodeError) as raised:
        mibolan.convert(data)
    assert raised.value.start == offset
    # Streamed in two pieces, the offset still counts from the text's start, and the error is
    # raised by the call that sees it; every later call of the text repeats it, and the next
    # text starts clean.
    for cut in range(len(data) + 1):
        converter = mibolan.Converter()
        calls = [lambda: converter.feed(data[:cut]), lambda: converter.feed(data[cut:]), converter.finish]
        for number, call in enumerate(calls):
            try:
                call()
            except UnicodeDecodeError as error:
                assert error.start == offset
                break
        else:
            pytest.fail(f"no error, cut at {cut}")
        if number < 2:  # raised by a feed: the rest of the text is refused, finish included
            with pytest.raises(UnicodeDecodeError):
                converter.feed("人")
            with pytest.raises(UnicodeDecodeError):
                converter.finish()
        assert converter.feed("人") + converter.finish() == "rén "


@pytest.mark.parametrize("data, repaired", [
    ("我爱".encode() + b"\xff" + "人".encode(), "我爱\ufffd人"),
    ("我".encode() + b"\xe7\x88", "我\ufffd"),
    (b"ab\xc0\xafcd", "ab\ufffd\ufffdcd"),
])
def test_errors_replace_reads_bad_bytes_as_the_replacement_character(data, repaired):
    wanted = mibolan.convert(repaired, style="html")
    assert mibolan.convert(data, style="html", errors="replace") == wanted
    for cut in range(len(data) + 1):
        converter = mibolan.Converter(style="html", errors="replace")
        assert converter.feed(data[:cut]) + converter.feed(data[cut:]) + converter.finish() == wanted


def test_threads_change_nothing_in_the_output():
    text = "银行行长觉得很好。\n" * 60000  # long enough to be shared with a second thread
    assert mibolan.convert(text, threads=1) == mibolan.convert(text) == mibolan.convert(text, threads=2)


def test_a_lone_surrogate_raises_with_its_position():
    for call in (mibolan.convert, mibolan.readings, mibolan.lazy_pinyin, mibolan.Converter().feed):
        with pytest.raises(ValueError) as raised:
            call("人人\ud800人")
        assert raised.value.start == 2, call


@pytest.mark.parametrize("call, error, words", [
    (lambda: mibolan.convert(None), TypeError, ["NoneType"]),
    (lambda: mibolan.convert(bytearray(b"a")), TypeError, ["bytearray"]),
    (lambda: mibolan.Converter().feed(1), TypeError, ["int"]),
    (lambda: mibolan.readings(b"a"), TypeError, ["bytes"]),
    (lambda: mibolan.convert("a", style="ruby"), ValueError, ["'ruby'", "'pinyin'"]),
    (lambda: mibolan.convert("a", textbook=True, words=False), ValueError, ["textbook", "words"]),
    (lambda: mibolan.Converter(textbook=True, tone_sandhi=False), ValueError, ["textbook", "tone_sandhi"]),
    (lambda: mibolan.readings("a", user_words={"人": "ren2"}, words=False), ValueError, ["user_words", "words"]),
    (lambda: mibolan.lazy_pinyin("a", style=3), ValueError, ["3"]),
    (lambda: mibolan.lazy_pinyin("a", errors="strict"), ValueError, ["'strict'"]),
    (lambda: mibolan.convert("a", errors="ignore"), ValueError, ["errors", "'ignore'"]),
    (lambda: mibolan.Converter(errors=None), ValueError, ["errors", "None"]),
    (lambda: mibolan.convert("a", threads=-1), ValueError, ["threads", "-1"]),
    (lambda: mibolan.convert("a", threads="2"), TypeError, ["threads", "str"]),
    (lambda: mibolan.UserWords.parse("# list\n\n人 ren2\n人民 ren2\n"), mibolan.UserWordsError, ["line 4"]),
    (lambda: mibolan.UserWords([("人", "ren2"), ("人", "ren4")]), mibolan.UserWordsError, ["entry 2"]),
])
def test_bad_arguments_raise_errors_that_name_them(call, error, words):
    with pytest.raises(error) as raised:
        call()
    for word in words:
        assert word in str(raised.value)


def test_user_words_error_tells_the_line():
    with pytest.raises(mibolan.UserWordsError) as raised:
        mibolan.UserWords.parse("人 ren2\n人民 ren2 min2\n".encode() + b"\xff x\n")
    assert raised.value.line == 3 and isinstance(raised.value, ValueError)


# A long text is read in parts cut at line feeds: the parts must read as the whole does.
@pytest.mark.parametrize("text", [TEXT, TEXT * 2000])
@pytest.mark.parametrize("options", [{}, {"textbook": True}])
def test_readings_give_every_character_its_position_and_the_converters_reading(text, options):
    result = mibolan.readings(text, numbers=True, **options)
    assert [(char, position) for char, _, position in result] == [(char, i) for i, char in enumerate(text)]
    read = [reading for _, reading, _ in result if reading is not None]
    assert read == mibolan.convert(text, style="numbers", **options).split()
    marked = [reading for _, reading, _ in mibolan.readings(text, **options) if reading is not None]
    assert marked == mibolan.convert(text, **options).split()
    assert dict((char, reading) for char, reading, _ in result)["A"] is None
    lazy = mibolan.lazy_pinyin(text, style=mibolan.Style.TONE, words="words" in options or "textbook" in options,
                               tone_sandhi="textbook" in options)
    assert "".join(lazy) == "".join(reading or char for char, reading, _ in mibolan.readings(text, **options))


@pytest.mark.parametrize("arguments, expected", [
    (("中心",), ["zhong", "xin"]),
    (("你好，world 中心。",), ["ni", "hao", "，world ", "zhong", "xin", "。"]),
    (("绿色的衣服", mibolan.Style.TONE), ["lǜ", "sè", "de", "yī", "fu"]),
    (("绿色的衣服", mibolan.Style.TONE2), ["lv4", "se4", "de", "yi1", "fu"]),
    (("绿色的衣服", mibolan.Style.TONE3), ["lv4", "se4", "de", "yi1", "fu"]),
    (("略", 2), ["lve4"]),
    (("银行", 0), ["yin", "hang"]),
    (("abc",), ["abc"]),
    (("",), []),
    ((["银行", "行走"],), ["yin", "hang", "xing", "zou"]),
])
def test_lazy_pinyin(arguments, expected):
    assert mibolan.lazy_pinyin(*arguments) == expected


@pytest.mark.parametrize("options, expected", [
    ({}, ["lv", "de", "☆☆"]),
    ({"v_to_u": True}, ["lü", "de", "☆☆"]),
    ({"style": mibolan.Style.TONE3, "neutral_tone_with_five": True}, ["lv4", "de5", "☆☆"]),
    ({"style": mibolan.Style.TONE2, "neutral_tone_with_five": True, "v_to_u": True}, ["lü4", "de5", "☆☆"]),
    ({"errors": "ignore"}, ["lv", "de"]),
    ({"errors": "replace"}, ["lv", "de", "26062606"]),
    ({"errors": lambda run: ["*"] * len(run)}, ["lv", "de", "*", "*"]),
    ({"errors": lambda run: None}, ["lv", "de"]),
])
def test_lazy_pinyin_options(options, expected):
    assert mibolan.lazy_pinyin("绿的☆☆", **options) == expected


def test_lazy_pinyin_reads_by_word_with_the_tone_changes_if_asked():
    assert mibolan.lazy_pinyin("一个", style=mibolan.Style.TONE) == ["yī", "gè"]
    assert mibolan.lazy_pinyin("一个", style=mibolan.Style.TONE, tone_sandhi=True) == ["yí", "gè"]
    assert mibolan.lazy_pinyin("觉得", style=mibolan.Style.TONE) == ["jué", "de"]
