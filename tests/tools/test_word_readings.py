"""Checks of the reading by word's Python reference (tools/wordreadings.py), the word-list
generator (tools/gen_lexicon.py) and the evaluation's parsing of the converter's output:
the cases where each is easy to get wrong. Runs on small hand-made tables and the
committed files only."""

import os
import sys
import tempfile
import unittest
from collections import Counter, defaultdict

REPO_ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(REPO_ROOT, "tools"))

import evaluate_readings as ev  # noqa: E402
import gen_lexicon as gen  # noqa: E402
import train_polyphone_model as trainer  # noqa: E402
import wordreadings as wr  # noqa: E402

DICTIONARY = wr.load_dictionary()


def lexicon(entries):
    return wr.Lexicon({w: (f, tuple(r.split()) if r else None) for w, (f, r) in entries.items()})


class SegmentationTest(unittest.TestCase):
    def segments(self, text, entries):
        return ["".join(text[s:e]) for s, e in wr.segment(text, lexicon(entries), DICTIONARY)]

    def test_least_cost_not_longest_match(self):
        entries = {"研究": (500, None), "研究生": (100, None), "生命": (400, None), "命": (50, None),
                   "和服": (20, None), "服务": (800, None), "和": (5000, None), "生": (100, None)}
        self.assertEqual(self.segments("研究生命", entries), ["研究", "生命"])
        self.assertEqual(self.segments("和服务", entries), ["和", "服务"])

    def test_runs_break_at_characters_without_a_line(self):
        entries = {"银行": (100, "yin2 hang2")}
        self.assertEqual(self.segments("银a行，银行", entries), ["银", "行", "银行"])

    def test_equal_cost_prefers_the_longer_last_word(self):
        # AB+C and A+BC cost the same: the one whose last word is longer wins.
        entries = {"甲乙": (10, None), "乙丙": (10, None), "甲": (10, None), "丙": (10, None)}
        self.assertEqual(self.segments("甲乙丙", entries), ["甲", "乙丙"])

    def test_cuts_where_no_word_crosses(self):
        lex = lexicon({"甲乙": (10, None), "乙丙": (10, None), "丁戊": (10, None)})
        self.assertEqual(wr.run_cuts("甲乙丙丁戊己", lex), [(0, 3), (3, 5), (5, 6)])

    def test_costs_are_integers_from_frequencies(self):
        lex = lexicon({"甲": (1, None), "乙": (99, None)})
        self.assertEqual(lex.total, 100)
        self.assertEqual(lex.cost["甲"], 461)  # 100 * ln(100), rounded
        self.assertEqual(lex.cost["乙"], 1)
        self.assertEqual(lex.unknown_cost, 461)


class ReadingTest(unittest.TestCase):
    def test_words_rules_and_defaults(self):
        words = {"银行": (100, ("yin2", "hang2")), "得": (100, ("de5",)), "行": (100, None)}
        reader = wr.Reader(words)
        cases = [
            ("银行", ["yin2", "hang2"]),       # the word's reading
            ("这行", ["zhe4", "hang2"]),       # no word: the rules (行 after 这)
            ("行", ["xing2"]),                # the rules' default for 行
            ("跑得", ["pao3", "de5"]),         # a character's own entry beats the dictionary
            ("我", ["wo3"]),                  # the dictionary
        ]
        for text, expected in cases:
            with self.subTest(text=text):
                readings = reader.readings(text)
                self.assertEqual([readings[i] for i in sorted(readings)], expected)

    def test_firm_defaults_leave_the_bias_out(self):
        # Models whose prior (the bias) opposes every default; no context feature is known.
        model = {"得": (["de2", "de5"], {"b": [200, -200]}), "长": (["chang2", "zhang3"], {"b": [200, -200]}),
                 "地": (["de5", "di4"], {"b": [200, -200]})}
        reader = wr.Reader({"得": (100, ("de5",))}, model, 50)
        cases = [
            ("跑得", 1, "de5"),     # the word list's reading of 得 standing alone is firm
            ("长着", 0, "zhang3"),  # a rule matched on the neighbours (长 before 着): firm
            ("慢地", 1, "de5"),     # the dictionary's di4 is not: the prior speaks
        ]
        for text, index, expected in cases:
            with self.subTest(text=text):
                self.assertEqual(reader.readings(text)[index], expected)

    def test_model_speaks_only_past_the_margin(self):
        entry = (["de2", "de5"], {"b": [10, -10], "L1=跑": [-100, 100]})
        self.assertEqual(wr.model_reading(entry, ["b", "L1=跑"], "de2", 150), "de5")  # 90 - -90 = 180
        self.assertIsNone(wr.model_reading(entry, ["b", "L1=跑"], "de2", 200))
        self.assertIsNone(wr.model_reading(entry, ["b"], "de2", 0))                 # best is the default
        # A default outside the model's readings scores as the lowest of them.
        self.assertEqual(wr.model_reading(entry, ["b"], "dei3", 20), "de2")
        # Equal scores: the first reading wins.
        self.assertEqual(wr.model_reading((["a1", "a2"], {}), ["b"], "a3", 0), "a1")

    def test_features_in_their_order(self):
        self.assertEqual(wr.features("在银行长", 2, lambda k: (2, 3)),
                         ["b", "L2=在", "L1=银", "R1=长", "R2=#", "LR=银长"])
        # Digits and Latin letters by class; the window stops at line breaks; the segment
        # when it is a word.
        self.assertEqual(wr.features("我\n5幢楼Ｂ", 3, lambda k: (3, 5)),
                         ["b", "L2=#", "L1=0", "R1=楼", "R2=a", "LR=0楼", "W=幢楼"])
        self.assertEqual(wr.features("行\r\n", 0, lambda k: (0, 1))[1:5], ["L2=#", "L1=#", "R1=#", "R2=#"])

    def test_word_list_examples_know_no_text_boundary(self):
        # A word listed alone says nothing of what stands beyond it: those features are the
        # word list's own, and the model never writes them; the bias and the neighbours inside
        # the word are shared with the sentences.
        context = trainer.Context({"酒吧": (5, ("jiu3", "ba1")), "吧台": (3, ("ba1", "tai2"))}, DICTIONARY, {})
        examples = sorted(trainer.lexicon_examples(context, {"吧"}), key=lambda e: e[1])
        w = trainer.WORD_ONLY
        self.assertEqual(examples, [
            ("吧", ["b", w + "L2=#", "L1=酒", w + "R1=#", w + "R2=#", w + "LR=酒#"], "ba1"),
            ("吧", ["b", w + "L2=#", w + "L1=#", "R1=台", w + "R2=#", w + "LR=#台"], "ba1")])
        weights = {"b": [0.5, -0.5], w + "R1=#": [3.0, -3.0], "R1=#": [-3.0, 3.0]}
        model = trainer.written_model({"吧": (["ba1", "ba5"], weights)}, defaultdict(Counter), {"吧": "ba5"})
        self.assertEqual(model["吧"][1], {"b": [50, -50], "R1=#": [-300, 300]})

    def test_corrected_words_replace_the_lists_reading(self):
        words = {"黄陂": (10, ("huang2", "pi2")), "陂": (10, None)}
        reader = wr.Reader(words, corrections={"黄陂": ("huang2", "bei1")})
        readings = reader.readings("黄陂陂")
        self.assertEqual([readings[i] for i in sorted(readings)], ["huang2", "bei1", DICTIONARY["陂"]])

    def test_corrections_need_two_sentences_that_all_agree_on_a_reading_of_the_word(self):
        context = trainer.Context({"明朝": (10, ("ming2", "zhao1")), "黄陂": (10, ("huang2", "pi2")),
                                   "挣脱": (10, ("zheng4", "tuo1")), "朝": (10, None)})
        # What CC-CEDICT gives the words: the dynasty and tomorrow morning, the district.
        attested = {"明朝": {("ming2", "chao2"), ("ming2", "zhao1")}, "黄陂": {("huang2", "bei1")},
                    "挣脱": {("zheng4", "tuo1")}}
        cases = [
            ([("明朝", 1, "chao2")] * 2, {"明朝": ("ming2", "chao2")}),
            ([("明朝", 1, "chao2")], {}),                                       # one sentence is not enough
            ([("明朝", 1, "chao2")] * 3 + [("明朝", 1, "zhao1")], {}),           # one agrees with the list
            ([("黄陂", 1, "bei1"), ("黄陂", 1, "po1")] * 2, {}),                 # the labels disagree
            ([("挣脱", 0, "zheng1")] * 2 + [("黄陂", 1, "bei1")] * 2,
             {"黄陂": ("huang2", "bei1")}),                                   # no dictionary reads 挣脱 zheng1
            ([("明朝", 0, "ming2")] * 2 + [("朝", 0, "chao2")] * 2, {}),         # the list is right; no word
        ]
        for labelled, expected in cases:
            with self.subTest(labelled=labelled):
                examples = trainer.sentence_examples(context, labelled)
                self.assertEqual(trainer.word_corrections(context, examples, attested), expected)

    def test_running_text_bounds_the_bias_of_the_training_sentences(self):
        # The training sentences' bias favours zhong4 for 中 and hang2 for 行; running text
        # reads 中 zhong1 a hundred times as often, and 行 hang2 more often than xing2.
        fitted = {"中": (["zhong1", "zhong4"], {"b": [-0.5, 0.5], "R1=的": [-2.0, 2.0]}),
                  "行": (["hang2", "xing2"], {"b": [0.3, -0.3]}),
                  "罕": (["han3", "han4"], {"b": [-1.0, 1.0]}),
                  "为": (["wei2", "wei4"], {"b": [1.0, -1.0]})}
        big = trainer.PRIOR_MIN_COUNT
        counts = {"中": Counter(zhong1=big, zhong4=big // 100), "行": Counter(hang2=big, xing2=big // 2),
                  "罕": Counter(han3=big // 10, han4=1), "为": Counter(wei2=big, wei4=big)}
        defaults = {"中": "zhong1", "行": "xing2", "罕": "han3", "为": "wei1"}
        model = trainer.written_model(fitted, defaultdict(Counter, counts), defaults)
        cases = [
            ("中", [0, -420]),    # capped: 100 ln((0.99 / 101 + 0.005) / (0.99 * 100 / 101 + 0.005))
            ("行", [60, 0]),      # running text allows more than the sentences: theirs stays
            ("罕", [-100, 100]),  # too rarely counted to judge: the sentences' bias
            ("为", [100, -100]),  # the default is none of the readings: the sentences' bias
        ]
        for char, bias in cases:
            with self.subTest(char=char):
                self.assertEqual(model[char][1]["b"], bias)
        self.assertEqual(model["中"][1]["R1=的"], [-200, 200])  # the context is left as it is

    def test_running_text_counts_and_standalone_defaults(self):
        words = {"中国": (50, ("zhong1", "guo2")), "中": (1000, None), "桌子": (30, ("zhuo1", "zi5")),
                 "子女": (20, ("zi3", "nü3")), "中间": (5, None), "得": (10, ("de5",))}
        counts = trainer.running_text_counts(words)
        # Only words of two or more characters that have a reading, and not their neutral tones.
        self.assertEqual(counts["中"], Counter(zhong1=50))
        self.assertEqual(counts["子"], Counter(zi3=20))
        rules = wr.load_context_rules()
        cases = [("为", "wei4"),   # the rule that always applies
                 ("得", "de5"),    # the character's own line
                 ("中", "zhong1")]  # the dictionary
        for char, expected in cases:
            with self.subTest(char=char):
                self.assertEqual(trainer.standalone_default(char, words, DICTIONARY, rules), expected)

    def test_context_rules_read_from_the_engine(self):
        rules = wr.load_context_rules()
        cases = [("风吹草低见牛羊", 4, "xian4"), ("低见", 1, None), ("重重", 1, "chong2"), ("暖和", 1, "huo"),
                 ("成长", 1, None), ("我成长", 2, "zhang3"), ("行 行", 2, "hang2"), ("知了", 1, "liao3")]
        for text, index, expected in cases:
            with self.subTest(text=text):
                self.assertEqual(wr.context_reading(rules, text, index), expected)


class WordListTest(unittest.TestCase):
    def test_line_format(self):
        self.assertEqual(wr.parse_word_line("银行\t7684\tyin2 hang2\n"), ("银行", 7684, ("yin2", "hang2")))
        self.assertEqual(wr.parse_word_line("的\t9\t-\n"), ("的", 9, None))
        for bad in ("银行\t7684\tyin2\n", "银行\t0\t-\n", "银行\tx\t-\n", "银行 7684 -\n", "女\t1\tnv3\n"):
            with self.subTest(line=bad), self.assertRaises(wr.WordListError):
                wr.parse_word_line(bad)

    def test_committed_list_is_sorted_and_valid(self):
        with open(wr.WORDS, encoding="utf-8") as handle:
            lines = handle.read().split("\n")
        self.assertEqual(lines.pop(), "")
        words = [wr.parse_word_line(line, n)[0] for n, line in enumerate(lines, 1)]
        self.assertEqual(words, sorted(set(words)))
        self.assertTrue(all(c in DICTIONARY for w in words for c in w))

    def test_cedict_readings(self):
        cases = [("Bei3 jing1", "北京", ("bei3", "jing1")), ("nu:3 er2", "女儿", ("nü3", "er2")),
                 ("yi1 dian3 r5", "一点儿", ("yi1", "dian3", "er5")), ("xu:e2", "学", ("xue2",)),
                 ("m2", "呣", None), ("ka3 la1 O K", "卡拉OK", None), ("yi1", "一个", None)]
        for pinyin, word, expected in cases:
            with self.subTest(pinyin=pinyin):
                self.assertEqual(gen.numbered_reading(pinyin, word), expected)

    def test_one_reading_or_none(self):
        a, b = ("bian4", "yi2"), ("pian2", "yi2")
        cases = [
            ([(True, a, False)], a),
            ([(True, a, False), (True, b, False)], None),      # two meanings: undecided
            ([(True, a, False), (True, b, True)], a),          # "see ..." does not count
            ([(False, a, False), (True, b, False)], b),        # lower case before names
            ([(False, a, False)], a),                          # a name only
        ]
        for senses, expected in cases:
            with self.subTest(senses=senses):
                self.assertEqual(gen.word_reading(senses), expected)

    def test_neutral_tone_only_on_particles_and_suffixes(self):
        neutral = {"子zi5", "得de5"}
        full = {("服", "fu"): "fu2", ("髮", "fa"): "fa4", ("发", "fa"): "fa1"}
        cases = [("衣服", ("yi1", "fu5"), None, ("yi1", "fu2")), ("孩子", ("hai2", "zi5"), None, ("hai2", "zi5")),
                 ("头发", ("tou2", "fa5"), "頭髮", ("tou2", "fa4")), ("觉得", ("jue2", "de5"), None, ("jue2", "de5"))]
        for word, reading, traditional, expected in cases:
            with self.subTest(word=word):
                self.assertEqual(gen.restore_tones(word, reading, neutral, full, traditional), expected)


    def test_a_character_alone_takes_running_texts_reading(self):
        with tempfile.NamedTemporaryFile("w", encoding="utf-8", suffix=".txt") as handle:
            handle.write("吧 90 y\n消 50 v\n")
            handle.flush()
            jieba = gen.load_jieba(handle.name)
        entries = {"消息": (500, ("xiao1", "xi5")), "取消": (200, ("qu3", "xiao1")), "消": (50, None),
                   "酒吧": (400, ("jiu3", "ba1")), "吧": (90, None), "缝隙": (300, ("feng4", "xi4")),
                   "缝补": (100, ("feng2", "bu3")), "缝": (30, None), "游泳": (299, ("you2", "yong3")),
                   "游": (40, None), "得": (60, ("de5",)), "得到": (900, ("de2", "dao4"))}
        # 消: xiao5 in the dictionary, xiao1 in every word. 吧 is a particle; 缝 divided; 游 too
        # rare; 得 has its reading already.
        self.assertEqual(gen.running_text_defaults(entries, jieba, DICTIONARY), {"消": "xiao1"})


class NeutralToneTest(unittest.TestCase):
    def test_neutral_tones_of_the_standard_its_compounds_and_classes(self):
        standard = {"朋友": ("peng2", "you5"), "刚刚": ("gang1", "gang1"), "起来": ("qi3", "lai2"),
                    "这里": ("zhe4", "li3"), "舒服": ("shu1", "fu5")}
        counts = {"小": 100, "朋友": 50, "小朋": 1, "舒服": 20, "舒": 5, "服": 5}
        tones = gen.NeutralTones(standard, counts)
        cases = [  # word, syllables, positions CC-CEDICT reads neutral, expected
            ("朋友", ("peng2", "you3"), set(), ("peng2", "you5")),          # the standard's neutral tone
            ("小朋友", ("xiao3", "peng2", "you3"), set(), ("xiao3", "peng2", "you5")),  # from its part
            ("刚刚", ("gang1", "gang1"), {1}, ("gang1", "gang1")),          # the standard's full tone wins
            ("看看", ("kan4", "kan4"), {1}, ("kan4", "kan5")),              # a reduplication
            ("起来", ("qi3", "lai2"), {1}, ("qi3", "lai5")),                # a directional complement
            ("过去", ("guo4", "qu4"), {1}, ("guo4", "qu4")),                # "the past"
            ("这里", ("zhe4", "li3"), set(), ("zhe4", "li3")),              # CC-CEDICT reads it full
            ("地上", ("di4", "shang4"), {1}, ("di4", "shang4")),            # a locative keeps its tone
            ("位置", ("wei4", "zhi4"), {1}, ("wei4", "zhi4")),              # CC-CEDICT's optional neutral
            ("舒舒服服", ("shu1", "shu1", "fu2", "fu2"), set(), ("shu1", "shu1", "fu2", "fu2")),
            ("一一", ("yi1", "yi1"), {1}, ("yi1", "yi1")),                  # 一 and 不 are tone changes
        ]
        for word, reading, cedict_neutral, expected in cases:
            with self.subTest(word=word):
                self.assertEqual(tones.reading(word, cedict_neutral, reading), expected)

    def test_reviewed_lines_need_a_reading_that_fits_and_a_reason(self):
        bad = ["下载\txia4 zai4\n", "下载\txia4\tone syllable\n", "下载\txia4 zzz4\twhy\n",
               "下载\txia4 zai4\twhy\n下载\txia4 zai3\ttwice\n"]
        for text in ["# comment\n\n下载\txia4 zai4\tzài, to load\n"] + bad:
            with tempfile.NamedTemporaryFile("w", encoding="utf-8", suffix=".txt", delete=False) as handle:
                handle.write(text)
            self.addCleanup(os.remove, handle.name)
            with self.subTest(text=text):
                if text in bad:
                    with self.assertRaises(gen.ReviewedError):
                        gen.load_reviewed(handle.name, DICTIONARY)
                else:
                    self.assertEqual(gen.load_reviewed(handle.name, DICTIONARY), {"下载": ("xia4", "zai4")})


class ConverterOutputTest(unittest.TestCase):
    def test_marked_syllables_back_to_numbers(self):
        cases = [("lìu", "liu4"), ("guì", "gui4"), ("nǚ", "nü3"), ("lüè", "lüe4"), ("de", "de5"), ("huo", "huo5")]
        for marked, expected in cases:
            with self.subTest(marked=marked):
                self.assertEqual(ev.numbered_from_marked(marked), expected)

    def test_annotated_output_aligned_with_its_line(self):
        self.assertEqual(ev.parse_annotated("a银(行)。", "银(yín)行(háng)"), {1: "yin2", 3: "hang2"})
        self.assertEqual(ev.parse_annotated("肀人", "人(rén)"), {1: "ren2"})
        with self.assertRaises(ev.EvaluationError):
            ev.parse_annotated("人", "人(rén)我(wǒ)")

    def test_everyday_table_fits_its_sentences(self):
        for path in [ev.EVERYDAY, *ev.RUNNING_TEXT]:
            with self.subTest(path=os.path.basename(path)):
                self.assertGreater(sum(len(labels) for _, labels in ev.everyday_set(DICTIONARY, path)), 500)
        with tempfile.NamedTemporaryFile("w", encoding="utf-8", suffix=".tsv", delete=False) as handle:
            handle.write("我爱人\two3 ai4\n")
        self.addCleanup(os.remove, handle.name)
        with self.assertRaises(ev.EvaluationError):
            ev.everyday_set(DICTIONARY, handle.name)


if __name__ == "__main__":
    unittest.main()
