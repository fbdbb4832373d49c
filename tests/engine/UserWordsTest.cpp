// The user's words: parsing their file, and their place in the reading by word.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <mibolan/ConvertText.h>
#include <mibolan/StreamConverter.h>
#include <mibolan/UserWords.h>

#include "CaseNames.h"
#include "Utf.h"

namespace mibolan {
namespace {

// Options with the words of `file`, which live as long as the test.
ConversionOptions WithWords(std::string_view file, Style style = Style::Pinyin, bool toneSandhi = false) {
  static std::vector<std::unique_ptr<UserWords>> kept;
  kept.push_back(std::make_unique<UserWords>(UserWords::Parse(file)));
  return {.style = style, .readBy = ReadBy::Word, .toneSandhi = toneSandhi, .userWords = kept.back().get()};
}

struct ReadingCase {
  std::string file;
  std::u16string text;
  std::u16string expected;  // by word, pinyin style
};

void PrintTo(const ReadingCase& c, std::ostream* out) { *out << test::Readable(c.text); }

class UserWordReadings : public testing::TestWithParam<ReadingCase> {};

TEST_P(UserWordReadings, WinWhereverTheyStand) {
  const ReadingCase& c = GetParam();
  const ConversionOptions options = WithWords(c.file);
  EXPECT_EQ(ConvertText(c.text, options), c.expected);
  // The same, whatever pieces the text comes in.
  StreamConverter stream(options);
  std::string out;
  for (const char16_t unit : c.text) stream.Feed(std::u16string_view(&unit, 1), out);
  stream.Finish(out);
  EXPECT_EQ(ToUtf16(out), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UserWordReadings,
    testing::Values(ReadingCase{"查良镛 zhā liáng yōng\n", u"查良镛的小说", u"zhā liáng yōng de xiǎo shuō "},
                    ReadingCase{"# tone digits, a tab, a comment\n\n查良镛\tzha1 liang2 yong1  # the writer\r\n",
                                u"查良镛的小说", u"zhā liáng yōng de xiǎo shuō "},
                    // Over a word of the list, and over the words that would otherwise take its characters.
                    ReadingCase{"银行 yin2 xing2", u"到银行", u"dào yín xíng "},
                    ReadingCase{"行长 hang2 chang2", u"银行长大", u"yín háng cháng dà "},
                    ReadingCase{"行 xing2", u"银行", u"yín xíng "},
                    // Overlapping: the way that covers the most characters with the user's words.
                    ReadingCase{"长大 chang2 da4\n银行长 yin2 hang2 zhang3", u"银行长大", u"yín háng zhǎng dà "},
                    ReadingCase{"长大成 zhang3 da4 cheng2\n银行长 yin2 hang2 chang2", u"银行长大成人",
                                u"yín háng zhǎng dà chéng rén "},
                    // The user's tones are kept: no tone change, nothing the list marks.
                    ReadingCase{"一个 yī ge", u"一个人", u"yī ge rén "},
                    // Syllables as people type them: ü as v or u with two dots, capitals, decomposed marks.
                    ReadingCase{"绿女 lv4 NÜ3", u"绿女", u"lǜ nǚ "},
                    ReadingCase{"绿居 lu\u0308\u0300 Jǖ", u"绿居", u"lǜ jū "}));

TEST(UserWords, KeepTheirTonesAndOnlyReadByWord) {
  EXPECT_EQ(ConvertText(u"一个人", WithWords("一个 yi1 ge4", Style::Pinyin, true)), u"yī gè rén ");
  const std::u16string page = ConvertText(u"银行", WithWords("银行 yin2 xing2", Style::Html));
  EXPECT_NE(page.find(u"行<rp>(</rp><rt>xíng</rt>"), std::u16string::npos);
  ConversionOptions byCharacter = WithWords("银行 yin2 xing2");
  byCharacter.readBy = ReadBy::Character;
  EXPECT_EQ(ConvertText(u"银行", byCharacter), u"yín háng ");
}

TEST(UserWords, NameTheLineOfAnyProblem) {
  const struct {
    std::string file;
    std::size_t line;
    std::string reason;
  } cases[] = {
      {"人 ren2\n\n查良镛 zha1 liang2\n", 3, "the reading has 2 syllables for the 3 characters of 查良镛"},
      {"人a ren2 a1", 1, "\"a\" (U+0061) is not a Chinese character that reading by word reads"},
      {"# x\n人 rem2", 2, "\"rem2\" is not a pinyin syllable"},
      {"人 ren6", 1, "\"ren6\" is not a pinyin syllable"},
      {"人 rén2", 1, "\"rén2\" is not a pinyin syllable"},
      {"人\n", 1, "the word 人 has no reading"},
      {"人 ren2\n银 \xFF", 2, "the text is not valid UTF-8"},
      {"行 hang2\n行 xing2", 2, "the word 行 is already given another reading on line 1"},
      {std::string(33 * 3, '\0'), 1, ""},  // replaced below: a word of 33 characters
  };
  for (auto each : cases) {
    if (each.reason.empty()) {
      each.file.clear();
      for (int i = 0; i < 33; ++i) each.file += "人";
      for (int i = 0; i < 33; ++i) each.file += " ren2";
      each.reason = "is longer than the longest word the segmentation takes (32 UTF-16 units)";
    }
    try {
      UserWords::Parse(each.file);
      ADD_FAILURE() << each.file << " was taken";
    } catch (const UserWordsError& error) {
      EXPECT_EQ(error.line(), each.line) << each.file;
      EXPECT_NE(std::string(error.what()).find(each.reason), std::string::npos) << error.what();
    }
  }
  // The same word twice with the same reading is no conflict.
  EXPECT_EQ(UserWords::Parse("行 hang2\n行 háng\n").size(), 1U);
}

}  // namespace
}  // namespace mibolan
