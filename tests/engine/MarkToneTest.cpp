#include "MarkTone.h"

#include <gtest/gtest.h>

#include <string>

#include "CaseNames.h"

namespace mibolan {
namespace {

struct MarkToneCase {
  std::u16string syllable;
  std::u16string tone;
  std::u16string expected;
};

void PrintTo(const MarkToneCase& c, std::ostream* out) {
  *out << test::Readable(c.syllable) << " tone " << test::Readable(c.tone);
}

class MarkToneTest : public testing::TestWithParam<MarkToneCase> {};

TEST_P(MarkToneTest, PutsTheToneLetterOnTheRightVowel) {
  const MarkToneCase& c = GetParam();
  EXPECT_EQ(MarkTone(c.syllable, c.tone), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MarkToneTest,
    testing::Values(
        // The vowel that comes first in a, o, e, i, u, ü takes the mark.
        MarkToneCase{u"ren", u"2", u"rén"}, MarkToneCase{u"hao", u"3", u"hǎo"}, MarkToneCase{u"huai", u"2", u"huái"},
        MarkToneCase{u"xuan", u"2", u"xuán"}, MarkToneCase{u"guo", u"2", u"guó"},
        MarkToneCase{u"xiong", u"1", u"xiōng"}, MarkToneCase{u"xue", u"2", u"xué"}, MarkToneCase{u"lüe", u"4", u"lüè"},
        MarkToneCase{u"gui", u"4", u"guì"}, MarkToneCase{u"zhu", u"4", u"zhù"}, MarkToneCase{u"nü", u"3", u"nǚ"},
        MarkToneCase{u"lü", u"4", u"lǜ"}, MarkToneCase{u"er", u"2", u"ér"}, MarkToneCase{u"o", u"4", u"ò"},
        MarkToneCase{u"e", u"2", u"é"}, MarkToneCase{u"a", u"1", u"ā"}, MarkToneCase{u"ui", u"3", u"uǐ"},
        // "iu" takes the mark on the u, as Hanyu Pinyin writes it.
        MarkToneCase{u"liu", u"4", u"liù"}, MarkToneCase{u"jiu", u"3", u"jiǔ"}, MarkToneCase{u"xiu", u"1", u"xiū"},
        MarkToneCase{u"diu", u"1", u"diū"}, MarkToneCase{u"niu", u"2", u"niú"},
        // Every tone letter of one vowel.
        MarkToneCase{u"ma", u"1", u"mā"}, MarkToneCase{u"ma", u"2", u"má"}, MarkToneCase{u"ma", u"3", u"mǎ"},
        MarkToneCase{u"ma", u"4", u"mà"},
        // Tones that mark nothing: neutral, out of range, letters, nothing.
        MarkToneCase{u"de", u"5", u"de"}, MarkToneCase{u"ren", u"n", u"ren"}, MarkToneCase{u"ren", u"0", u"ren"},
        MarkToneCase{u"ren", u"7", u"ren"}, MarkToneCase{u"huo", u"", u"huo"}, MarkToneCase{u"ren", u"22", u"ren"},
        // No vowel of the six: nothing to mark.
        MarkToneCase{u"", u"1", u""}, MarkToneCase{u"", u"", u""}, MarkToneCase{u"ng", u"2", u"ng"},
        MarkToneCase{u"REN", u"2", u"REN"}, MarkToneCase{u"nv", u"3", u"nv"},
        // A vowel that occurs twice is marked twice.
        MarkToneCase{u"aa", u"1", u"āā"}));

TEST(ToneLetters, AreSinglePrecomposedLettersOfThePinyinRow) {
  for (const auto& row : ToneLetters) {
    for (char16_t letter : row) {
      EXPECT_GE(letter, u'\u00E0');
      EXPECT_LE(letter, u'\u01DC');
    }
  }
}

}  // namespace
}  // namespace mibolan
