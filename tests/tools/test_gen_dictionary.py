"""Unit checks of tools/gen_dictionary.py: pinyin conversion, field parsing,
source precedence, and the errors that must stop a generation."""

import bz2
import os
import sys
import tempfile
import unittest

REPO_ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(REPO_ROOT, "tools"))

import gen_dictionary as gen  # noqa: E402


def write_temp(test, text, suffix=".txt"):
    handle = tempfile.NamedTemporaryFile("w", encoding="utf-8", suffix=suffix, delete=False)
    with handle:
        handle.write(text)
    test.addCleanup(os.remove, handle.name)
    return handle.name


class ToNumberedTest(unittest.TestCase):
    def test_conversions(self):
        cases = [
            ("zhōng", "zhong1"), ("Rén", "ren2"), ("wǒ", "wo3"), ("ài", "ai4"),
            ("le", "le5"),                                   # no mark: neutral
            ("lǜ", "lü4"), ("lu\u0308\u0300", "lü4"),        # precomposed / combining
            ("nu\u030c\u0308", "nü3"),                       # marks in either order
            ("lu:è", "lüe4"), ("nv\u030c", "nü3"),           # ASCII spellings of ü
            ("xüé", "xue2"), ("yǜ", "yu4"), ("qü", "qu5"),   # ü after j/q/x/y is u
            ("ju", "ju5"),
        ]
        for pinyin, expected in cases:
            with self.subTest(pinyin=pinyin):
                self.assertEqual(gen.to_numbered(pinyin), expected)

    def test_rejected(self):
        # Not among the allowed syllables, or malformed.
        for pinyin in ["ḿ", "ń", "hm", "ng", "ê̄", "ế", "éi", "liǎ", "kēi",
                       "hǎò", "lǘ́", "zhong1", "", "jü4"]:
            with self.subTest(pinyin=pinyin):
                self.assertIsNone(gen.to_numbered(pinyin))


class FieldReadingsTest(unittest.TestCase):
    def test_parsing(self):
        cases = [
            ("kMandarin", "wàn mò", ["wàn", "mò"]),
            ("kHanyuPinyin", "10048.060:liǎo,le,liào 10049.010:lè", ["liǎo", "le", "liào", "lè"]),
            ("kXHC1983", "0686.010*,0686.011:le 0686.012:liǎo", ["le", "liǎo"]),
            ("kTGHZ2013", "240.020:ḿ 240.030:m̀", ["ḿ", "m̀"]),
        ]
        for field, value, expected in cases:
            with self.subTest(field=field):
                self.assertEqual(gen.field_readings(field, value), expected)


class SourcePrecedenceTest(unittest.TestCase):
    def test_first_usable_reading_wins(self):
        cases = [
            ({"kMandarin": "wàn mò", "kHanyuPinyin": "1.1:mò"}, ("wan4", "kMandarin")),
            ({"kMandarin": "liǎ", "kHanyuPinyin": "1.1:liǎng"}, ("liang3", "kHanyuPinyin")),
            ({"kMandarin": "ń", "kHanyuPinyin": "1.1:ń,ň", "kXHC1983": "1.1:ǹg",
              "kTGHZ2013": "1.1:ńg 1.2:èn"}, ("en4", "kTGHZ2013")),
            ({"kXHC1983": "1.1:ēi 1.2:xī"}, ("xi1", "kXHC1983")),
            ({"kMandarin": "éi"}, (None, None)),
            ({}, (None, None)),
        ]
        for fields, expected in cases:
            with self.subTest(fields=fields):
                self.assertEqual(gen.unihan_reading(fields), expected)

    def test_override_replaces_unihan_and_missing_reading_fails(self):
        heads = ["了", "嗯"]
        unihan = {ord("了"): {"kMandarin": "le"}, ord("嗯"): {"kMandarin": "ń"}}
        readings, _ = gen.build(unihan, {"了": "liao3", "嗯": "en4"}, heads)
        self.assertEqual(readings, {"了": "liao3", "嗯": "en4"})
        with self.assertRaisesRegex(gen.DictionaryError, "嗯"):
            gen.build(unihan, {}, heads)


class OverridesFileTest(unittest.TestCase):
    HEADS = {"行", "女", "去"}

    def test_valid_file(self):
        path = write_temp(self, "# comment\n行 hang2  # trailing\n\n女 nü3\n行 hang2\n")
        self.assertEqual(gen.load_overrides(path, self.HEADS), {"行": "hang2", "女": "nü3"})

    def test_errors(self):
        cases = [
            ("肀 yu4\n", "not a dictionary head"),
            ("女 nv3\n", "not a valid numbered syllable"),
            ("去 qü4\n", "not a valid numbered syllable"),
            ("女 nü\n", "not a valid numbered syllable"),
            ("行 lia3\n", "not a valid numbered syllable"),
            ("行 xing6\n", "not a valid numbered syllable"),
            ("行 hang2\n行 xing2\n", "conflicts"),
            ("行hang2\n", "expected"),
        ]
        for text, message in cases:
            with self.subTest(text=text):
                with self.assertRaisesRegex(gen.DictionaryError, message):
                    gen.load_overrides(write_temp(self, text), self.HEADS)


class DataFilesTest(unittest.TestCase):
    def test_no_reading_list_matches_gbk_areas(self):
        # 1 character of GB2312 (肀), 155 of GBK 8140-A0FE, 169 of AA40-FEA0.
        chars = gen.load_no_reading(gen.DEFAULT_NO_READING)
        areas = {"gb2312": 0, "low": 0, "high": 0}
        for char in chars:
            lead, trail = char.encode("gbk")
            if lead <= 0xA0:
                areas["low"] += 1
            elif trail <= 0xA0:
                areas["high"] += 1
            else:
                areas["gb2312"] += 1
        self.assertEqual(areas, {"gb2312": 1, "low": 155, "high": 169})
        self.assertIn("肀", chars)

    def test_unihan_read_plain_or_compressed(self):
        text = "# header\nU+4E00\tkMandarin\tyī\nU+4E00\tkDefinition\tone\nU+3400\tkMandarin\tqiū\n"
        plain = write_temp(self, text)
        packed = write_temp(self, "", suffix=".bz2")
        with open(packed, "wb") as out:
            out.write(bz2.compress(text.encode("utf-8")))
        expected = {0x4E00: {"kMandarin": "yī"}}
        self.assertEqual(gen.load_unihan(plain), expected)
        self.assertEqual(gen.load_unihan(packed), expected)


if __name__ == "__main__":
    unittest.main(verbosity=2)
