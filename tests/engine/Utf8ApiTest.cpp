// The plain UTF-8 face of the library: whole-text conversion, per-character readings with byte
// offsets, a character's readings by code point, and tone letters to digits and back.
#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <mibolan/Convert.h>
#include <mibolan/ConvertText.h>
#include <mibolan/Dictionary.h>
#include <mibolan/StreamConverter.h>
#include <mibolan/Syllables.h>
#include <mibolan/Utf8Converter.h>

#include "CommandRunner.h"
#include "MarkTone.h"
#include "OptionNames.h"
#include "Utf.h"

namespace mibolan {
namespace {

// Texts that exercise every walk: lines kept and dropped, a polyphone read by word and by its
// neighbours, tone changes, invisible characters, a character beyond the Basic Multilingual
// Plane, a byte-order mark, and a text that ends with its own line break.
const std::vector<std::string> kTexts = {
    "我在银行觉得很好。",
    "\xEF\xBB\xBF一个人\r\n不是 ABC <b>&</b>\n",
    "长长\xE2\x80\x8D行走\xF0\xA0\x80\x80𠀀〇 看一看\n\n对不起",
    "",
};

std::vector<ConversionOptions> EveryWay() {
  std::vector<ConversionOptions> ways;
  for (Style style : {Style::Pinyin, Style::Annotated, Style::Numbers, Style::Html}) {
    for (LineBreaks lines : {LineBreaks::Drop, LineBreaks::Keep}) {
      for (ReadBy readBy : {ReadBy::Character, ReadBy::Word}) {
        for (bool sandhi : {false, true}) ways.push_back({style, lines, readBy, sandhi, nullptr});
      }
    }
  }
  return ways;
}

TEST(ConvertUtf8, IsConvertTextInUtf8) {
  for (const ConversionOptions& options : EveryWay()) {
    for (const std::string& text : kTexts) {
      std::string_view body = text;
      if (body.starts_with("\xEF\xBB\xBF")) body.remove_prefix(3);
      EXPECT_EQ(ConvertUtf8(text, options), ToUtf8(ConvertText(ToUtf16(body), options)))
          << testing_support::Describe(options) << ": " << text;
    }
  }
}

#ifdef MIBOLAN_CONVERT
TEST(ConvertUtf8, IsWhatTheConverterWrites) {
  for (const ConversionOptions& options : EveryWay()) {
    if (options.style == Style::Html) continue;  // the program writes a whole page
    const char* styles[] = {"pinyin", "annotated", "numbers"};
    std::vector<std::string> arguments = {std::string("--style=") + styles[static_cast<int>(options.style)]};
    if (options.lineBreaks == LineBreaks::Keep) arguments.emplace_back("--keep-lines");
    if (options.readBy == ReadBy::Word) arguments.emplace_back("--words");
    if (options.toneSandhi) arguments.emplace_back("--tone-sandhi");
    for (const std::string& text : kTexts) {
      const testing_support::CommandResult result = testing_support::Convert(arguments, text);
      ASSERT_EQ(result.status, 0) << result.err;
      const std::string converted = ConvertUtf8(text, options);
      const bool ownLineBreak = options.lineBreaks == LineBreaks::Keep && text.ends_with('\n');
      EXPECT_EQ(result.out, ownLineBreak ? converted : converted + "\n")
          << testing_support::Describe(options) << ": " << text;
    }
  }
}
#endif

TEST(EncodingError, GivesTheOffsetOfTheBadSequenceEverywhere) {
  struct Case {
    std::string text;
    std::uint64_t offset;
    bool truncated;
  };
  const Case cases[] = {
      {"我爱\xFF人", 6, false},             // a byte that starts nothing
      {"ab\xC0\xAF", 2, false},             // an overlong form
      {"\xED\xA0\x80", 0, false},           // an encoded surrogate
      {"人\xF4\x90\x80\x80", 3, false},     // past U+10FFFF
      {"人\x80", 3, false},                 // a stray continuation byte
      {"人\xE4\xBA", 3, true},              // cut off by the end
      {"\xEF\xBB\xBF人\xF0\x9F", 6, true},  // counted from before the byte-order mark
  };
  for (const Case& c : cases) {
    for (const ConversionOptions& options : {ConversionOptions{}, Textbook(Style::Html)}) {
      for (int function = 0; function < 2; ++function) {
        try {
          if (function == 0) ConvertUtf8(c.text, options);
          else ReadUtf8(c.text, options);
          ADD_FAILURE() << "no error for " << testing::PrintToString(c.text);
        } catch (const EncodingError& error) {
          EXPECT_EQ(error.offset(), c.offset) << testing::PrintToString(c.text);
          EXPECT_EQ(error.truncated(), c.truncated) << testing::PrintToString(c.text);
          EXPECT_NE(std::string(error.what()).find(std::to_string(c.offset)), std::string::npos) << error.what();
        }
      }
    }
  }
  EXPECT_THROW(ConvertUtf8("人", {.style = static_cast<Style>(9)}), std::invalid_argument);
}

// Asked to, the converters read each ill-formed sequence as U+FFFD, one for each maximal subpart,
// wherever the pieces are cut: what they write is that of the text with U+FFFD in its place.
TEST(IllFormedReplace, ReadsEachBadSequenceAsTheReplacementCharacter) {
  const std::pair<std::string, std::string> cases[] = {
      {"我爱\xFF人", "我爱\uFFFD人"},
      {"银\xE4\xBD"
       "A行",
       "银\uFFFDA行"},                                     // a character cut short by an ASCII byte
      {"ab\xC0\xAF", "ab\uFFFD\uFFFD"},                    // no overlong form starts a character
      {"\xED\xA0\x80人", "\uFFFD\uFFFD\uFFFD人"},          // nor does an encoded surrogate
      {"人\xF0\x9F\x98人", "人\uFFFD人"},                  // a four-byte character cut short
      {"\xEF\xBB\xBF人\xE4\xBA", "\xEF\xBB\xBF人\uFFFD"},  // cut off by the end
      {"行长\n\x80一个", "行长\n\uFFFD一个"},
      {"银行\xF0\xA0\x80\x80", "银行\xF0\xA0\x80\x80"},  // well formed: unchanged
  };
  for (ConversionOptions options : {ConversionOptions{.style = Style::Html}, Textbook(Style::Html),
                                    ConversionOptions{.style = Style::Annotated, .lineBreaks = LineBreaks::Keep}}) {
    const std::string style = testing::PrintToString(static_cast<int>(options.readBy));
    for (const auto& [bad, repaired] : cases) {
      const std::string wanted = ConvertUtf8(repaired, options);
      options.illFormed = IllFormed::Replace;
      EXPECT_EQ(ConvertUtf8(bad, options), wanted) << testing::PrintToString(bad) << " read by " << style;
      for (std::size_t cut = 0; cut <= bad.size(); ++cut) {
        Utf8Converter converter(options);
        std::string out;
        ASSERT_TRUE(converter.Feed(std::string_view(bad).substr(0, cut), out));
        ASSERT_TRUE(converter.Feed(std::string_view(bad).substr(cut), out));
        ASSERT_TRUE(converter.Finish(out));
        EXPECT_EQ(out, wanted) << testing::PrintToString(bad) << " cut at " << cut;
      }
      options.illFormed = IllFormed::Report;
    }
  }
  EXPECT_THROW(ConvertUtf8("人", {.illFormed = static_cast<IllFormed>(2)}), std::invalid_argument);
}

// UTF-16 has no error to report: a page shows a lone surrogate as U+FFFD in its place, whatever
// the option and wherever the pieces are cut, and a pair split between pieces stays one character.
TEST(IllFormedReplace, ALoneSurrogateIsTheReplacementCharacterOnAPage) {
  const std::u16string bad = u"银\xD800行\xDC00长\U00020000大\xD83D";
  const std::u16string repaired = u"银\uFFFD行\uFFFD长\U00020000大\uFFFD";
  for (const ConversionOptions& report : {ConversionOptions{.style = Style::Html}, Textbook(Style::Html)}) {
    ConversionOptions replace = report;
    replace.illFormed = IllFormed::Replace;
    const std::u16string wanted = ConvertText(repaired, report);
    EXPECT_EQ(ConvertText(bad, report), wanted);
    EXPECT_EQ(ConvertText(bad, replace), wanted);
    for (std::size_t cut = 0; cut <= bad.size(); ++cut) {
      StreamConverter converter(report);
      std::string out;
      converter.Feed(std::u16string_view(bad).substr(0, cut), out);
      converter.Feed(std::u16string_view(bad).substr(cut), out);
      converter.Finish(out);
      EXPECT_EQ(out, ToUtf8(wanted)) << "cut at " << cut;
    }
  }
}

TEST(ReadUtf8, CutsTheTextIntoCharactersAndRunsWithTheirOffsets) {
  // 𠀀 (four bytes) has a reading only by word; 〇 and the joiner only keep their place.
  const std::string text =
      "\xEF\xBB\xBF"
      "A银\xE2\x80\x8D行𠀀b\r\n不";
  struct Expected {
    std::string text;
    std::size_t offset, index;
    std::string numbered, marked;
  };
  const std::vector<Expected> byWord = {
      {"\xEF\xBB\xBF"
       "A",
       0, 0, "", ""},
      {"银", 4, 2, "yin2", "yín"},
      {"\xE2\x80\x8D", 7, 3, "", ""},
      {"行", 10, 4, "hang2", "háng"},
      {"𠀀", 13, 5, "he1", "hē"},
      {"b\r\n", 17, 6, "", ""},
      {"不", 20, 9, "bu4", "bù"},
  };
  const std::vector<Expected> byCharacter = {
      {"\xEF\xBB\xBF"
       "A",
       0, 0, "", ""},
      {"银", 4, 2, "yin2", "yín"},
      {"\xE2\x80\x8D", 7, 3, "", ""},
      {"行", 10, 4, "xing2", "xíng"},
      {"𠀀b\r\n", 13, 5, "", ""},
      {"不", 20, 9, "bu4", "bù"},
  };
  for (const auto& [readBy, expected] : {std::pair{ReadBy::Word, byWord}, std::pair{ReadBy::Character, byCharacter}}) {
    const std::vector<Utf8Piece> pieces = ReadUtf8(text, {.readBy = readBy});
    ASSERT_EQ(pieces.size(), expected.size()) << static_cast<int>(readBy);
    std::string joined;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      const Utf8Piece& piece = pieces[i];
      EXPECT_EQ(piece.text, expected[i].text) << i;
      EXPECT_EQ(piece.text.data(), text.data() + piece.offset) << i;
      EXPECT_EQ(piece.offset, expected[i].offset) << i;
      EXPECT_EQ(piece.index, expected[i].index) << i;
      EXPECT_EQ(piece.numbered, expected[i].numbered) << i;
      EXPECT_EQ(piece.marked, expected[i].marked) << i;
      joined += piece.text;
    }
    EXPECT_EQ(joined, text);
  }
  EXPECT_TRUE(ReadUtf8("").empty());
}

TEST(ReadingsOf, GivesEveryReadingOfACharacter) {
  struct Case {
    char32_t character;
    std::string first;                // the most frequent in words, or the only one
    std::vector<std::string> others;  // among the rest
  };
  const Case cases[] = {
      {U'行', "xing2", {"hang2"}},   {U'了', "le5", {"liao3"}}, {U'长', "zhang3", {"chang2"}},
      {U'長', "zhang3", {"chang2"}},  // traditional: its simplified form's words count too
      {U'〇', "ling2", {}},           // beyond the dictionary: its own reading
      {U'\U00020000', "he1", {}},     // beyond the Basic Multilingual Plane
  };
  for (const Case& c : cases) {
    const std::vector<std::string> readings = ReadingsOf(c.character);
    const auto name = static_cast<unsigned>(c.character);
    ASSERT_FALSE(readings.empty()) << name;
    EXPECT_EQ(readings.front(), c.first) << name;
    if (c.others.empty()) {
      EXPECT_EQ(readings.size(), 1U) << name;
    }
    for (const std::string& reading : c.others) {
      EXPECT_NE(std::find(readings.begin(), readings.end(), reading), readings.end()) << name << " lacks " << reading;
    }
    EXPECT_NE(std::find(readings.begin(), readings.end(), DictionaryReading(c.character)), readings.end()) << name;
  }
  EXPECT_EQ(ReadingsOf(U'A'), std::vector<std::string>{});
  EXPECT_EQ(ReadingsOf(U'\U0010FFFF'), std::vector<std::string>{});
}

TEST(DictionaryReading, TakesAnyCodePoint) {
  EXPECT_EQ(DictionaryReading(U'人'), DictionaryReading(u'人'));
  EXPECT_EQ(DictionaryReading(U'〇'), "ling2");
  EXPECT_EQ(DictionaryReading(U'\U00020000'), "he1");
  EXPECT_EQ(DictionaryReading(U'A'), "");
  EXPECT_EQ(DictionaryReading(char32_t{0xD800}), "");
  EXPECT_EQ(DictionaryReading(char32_t{0x110000}), "");
}

TEST(ToneMarks, RoundTripEverySyllableInEveryTone) {
  std::ifstream list(MIBOLAN_SYLLABLE_LIST);
  int count = 0;
  for (std::string syllable; std::getline(list, syllable);) {
    if (syllable.empty()) continue;
    for (char tone = '1'; tone <= '5'; ++tone) {
      const std::string numbered = syllable + tone;
      const std::string marked = ToToneMarks(numbered);
      EXPECT_EQ(marked, ToUtf8(MarkReading(numbered))) << numbered;
      EXPECT_EQ(ToToneDigits(marked), numbered) << marked;
      EXPECT_EQ(ToToneMarks(marked), marked) << marked;
      ++count;
    }
  }
  EXPECT_EQ(count, 409 * 5);
}

TEST(ToneMarks, AcceptsEveryWritingAndRefusesNonSyllables) {
  struct Case {
    std::string written, marks, digits;
  };
  const Case cases[] = {
      {"lü4", "lǜ", "lü4"},
      {"lv4", "lǜ", "lü4"},
      {"LV4", "lǜ", "lü4"},
      {"lu\xCC\x88"
       "4",
       "lǜ", "lü4"},
      {"liu4", "liù", "liu4"},
      {"de", "de", "de5"},
      {"xu\xCC\x81", "xú", "xu2"},
      {"Zhōng", "zhōng", "zhong1"},
      {"", "", ""},
      {"xx1", "", ""},
      {"ma6", "", ""},
      {"mā1", "", ""},
      {"ma1 ma1", "", ""},
      {"\xFF", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToToneMarks(c.written), c.marks) << c.written;
    EXPECT_EQ(ToToneDigits(c.written), c.digits) << c.written;
  }
}

}  // namespace
}  // namespace mibolan
