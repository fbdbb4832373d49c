// Reading by word and with tone changes: the text whole, in pieces of UTF-16 or of UTF-8 bytes
// split anywhere, and as a list of readings all give the same readings, in every style; and the
// characters converted are always those that reading by character converts.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include <mibolan/ConvertText.h>
#include <mibolan/Readings.h>
#include <mibolan/StreamConverter.h>
#include <mibolan/Utf8Converter.h>

#include "ConvertedCharacters.h"
#include "OptionNames.h"
#include "TextGenerator.h"
#include "TransparentRuns.h"
#include "Utf.h"
#include "WordCharacters.h"

namespace mibolan {
namespace {

using reference::ConvertedCharacters;
using reference::WithoutInvisible;
using testing::kInvisibleCharacters;
using testing::TextGenerator;
using testing::UnitCodes;
using testing_support::Describe;

struct Reading {
  ReadBy readBy;
  bool toneSandhi;
  const char* name;
};

constexpr Reading kReadings[] = {
    {ReadBy::Word, false, "words"},
    {ReadBy::Word, true, "words, tone changes"},
    {ReadBy::Character, true, "characters, tone changes"},
};

constexpr Style kStyles[] = {Style::Pinyin, Style::Annotated, Style::Numbers, Style::Html};

std::vector<ConversionOptions> AllOptions() {
  std::vector<ConversionOptions> all;
  for (const Reading& reading : kReadings) {
    for (Style style : kStyles) {
      for (LineBreaks lineBreaks : {LineBreaks::Drop, LineBreaks::Keep}) {
        all.push_back({style, lineBreaks, reading.readBy, reading.toneSandhi});
      }
    }
  }
  return all;
}

// Words whose readings differ from their characters' own, sentences where words overlap, and a
// run long enough to be cut without punctuation.
const std::u16string_view kWordPieces[] = {
    u"校长", u"觉得", u"不同", u"作为",   u"只有", u"重新", u"一个",   u"不要", u"研究生命", u"和服务", u"长大",
    u"银行", u"一天", u"第一", u"看一看", u"不是", u"十一", u"一二三", u"統一", u"還有",     u"覺得",
};

std::u16string WordText(TextGenerator& generator, std::size_t maxLength) {
  std::u16string text;
  const std::size_t length = generator.Below(maxLength + 1);
  while (text.size() < length) {
    if (generator.Below(2) == 0) {
      text += kWordPieces[generator.Below(std::size(kWordPieces))];
    } else {
      text += generator.Text(4);
    }
  }
  return text;
}

// Cuts `size` units or bytes into random pieces: the ascending ends of all pieces but the last.
std::vector<std::size_t> RandomCuts(std::size_t size, std::mt19937_64& random) {
  std::vector<std::size_t> cuts;
  for (std::size_t at = 0; size > 0;) {
    at += std::uniform_int_distribution<std::size_t>(1, 1 + size / 3)(random);
    if (at >= size) break;
    cuts.push_back(at);
  }
  return cuts;
}

std::string StreamInPieces(std::u16string_view text, const std::vector<std::size_t>& cuts,
                           const ConversionOptions& options) {
  StreamConverter converter(options);
  std::string out;
  std::size_t start = 0;
  for (std::size_t cut : cuts) {
    converter.Feed(text.substr(start, cut - start), out);
    start = cut;
  }
  converter.Feed(text.substr(start), out);
  converter.Finish(out);
  return out;
}

std::string Utf8InPieces(std::string_view bytes, const std::vector<std::size_t>& cuts,
                         const ConversionOptions& options) {
  Utf8Converter converter(options);
  std::string out;
  std::size_t start = 0;
  for (std::size_t cut : cuts) {
    EXPECT_TRUE(converter.Feed(bytes.substr(start, cut - start), out));
    start = cut;
  }
  EXPECT_TRUE(converter.Feed(bytes.substr(start), out));
  EXPECT_TRUE(converter.Finish(out));
  return out;
}

TEST(ReadingOptions, PiecesOfAnySizeGiveTheWholeTextsOutput) {
  TextGenerator generator(20261207);
  std::mt19937_64 random(7);
  const std::vector<ConversionOptions> all = AllOptions();
  for (int round = 0; round < 300; ++round) {
    const std::u16string text = WordText(generator, 80);
    const std::string bytes = ToUtf8(text);
    const bool validUtf8 = ToUtf16(bytes) == text;  // no lone surrogate
    for (const ConversionOptions& options : all) {
      const std::string whole = ToUtf8(ConvertText(text, options));
      ASSERT_EQ(StreamInPieces(text, RandomCuts(text.size(), random), options), whole)
          << Describe(options) << ": " << UnitCodes(text);
      if (validUtf8) {
        ASSERT_EQ(Utf8InPieces(bytes, RandomCuts(bytes.size(), random), options), whole)
            << Describe(options) << ": " << UnitCodes(text);
      }
    }
  }
}

TEST(ReadingOptions, EverySplitPointOfAWordyTextGivesTheSameOutput) {
  const std::u16string text = u"校长觉得一个不同的作为，研究生命和服务。\n看一看第一天不是只有重新长大";
  for (const ConversionOptions& options : AllOptions()) {
    const std::string whole = ToUtf8(ConvertText(text, options));
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
      ASSERT_EQ(StreamInPieces(text, {cut}, options), whole) << Describe(options) << ", cut at " << cut;
    }
  }
}

TEST(ReadingOptions, ConvertTheSameCharactersAsReadingByCharacterAndByWordTheirOwn) {
  TextGenerator generator(11);
  for (int round = 0; round < 300; ++round) {
    std::u16string text = WordText(generator, 60);
    // Characters beyond the dictionary, of both planes, and a traditional one.
    const std::u16string_view extras[] = {u"〇", u"𬌗", u"豈"};
    text += extras[round % 3];
    const std::u16string byCharacter = ConvertedCharacters(ConvertText(text, Style::Annotated));
    const std::u16string byWord = reference::CharactersReadByWord(text);
    for (const Reading& reading : kReadings) {
      const ConversionOptions options{Style::Annotated, LineBreaks::Drop, reading.readBy, reading.toneSandhi};
      // The annotated style keeps the invisible characters after a converted one when it reads
      // by word; reading by character alone leaves them out.
      ASSERT_EQ(ConvertedCharacters(WithoutInvisible(ConvertText(text, options))),
                reading.readBy == ReadBy::Word ? byWord : byCharacter)
          << reading.name << ": " << UnitCodes(text);
    }
  }
}

TEST(ReadingOptions, ReadTextListsTheReadingsThatTheConversionWrites) {
  TextGenerator generator(5);
  for (int round = 0; round < 200; ++round) {
    const std::u16string text = WordText(generator, 60);
    for (const Reading& reading : kReadings) {
      const ConversionOptions options{Style::Annotated, LineBreaks::Drop, reading.readBy, reading.toneSandhi};
      std::u16string annotated;
      for (const CharacterReading& each : ReadText(text, options)) {
        annotated += text.substr(each.index, IsLeadSurrogate(text[each.index]) ? 2 : 1);
        annotated += u'(' + each.marked + u')';
      }
      ASSERT_EQ(annotated, WithoutInvisible(ConvertText(text, options))) << reading.name << ": " << UnitCodes(text);
    }
  }
}

// The tone changes read the text as if its invisible characters were not there: they are
// compared with the readings by character of the text without them.
TEST(ReadingOptions, ToneChangesAloneChangeNothingBut一And不) {
  TextGenerator generator(17);
  const ConversionOptions changed{.toneSandhi = true};
  for (int round = 0; round < 300; ++round) {
    const std::u16string text = WordText(generator, 60);
    const std::u16string visible = WithoutInvisible(text);
    const std::vector<CharacterReading> plain = ReadText(visible);
    const std::vector<CharacterReading> withChanges = ReadText(text, changed);
    ASSERT_EQ(plain.size(), withChanges.size()) << UnitCodes(text);
    for (std::size_t i = 0; i < plain.size(); ++i) {
      ASSERT_EQ(visible[plain[i].index], text[withChanges[i].index]) << UnitCodes(text);
      if (visible[plain[i].index] == u'一' || visible[plain[i].index] == u'不') continue;
      ASSERT_EQ(plain[i].numbered, withChanges[i].numbered) << "at " << plain[i].index << ": " << UnitCodes(text);
    }
  }
}

// Invisible characters anywhere, inside words too, change no reading: the output is that of the
// text without them, but for those that the annotated style and the page keep; and it is the same
// whatever the pieces, UTF-16 or UTF-8.
TEST(ReadingOptions, InvisibleCharactersChangeNoReading) {
  TextGenerator generator(29);
  std::mt19937_64 random(31);
  const std::vector<ConversionOptions> all = AllOptions();
  for (int round = 0; round < 150; ++round) {
    std::u16string text = WordText(generator, 40);
    // A lone surrogate beside an invisible character would pair up with another once it is
    // looked through: the page shows the two as U+FFFD each, the text without them as one.
    if (ToUtf16(ToUtf8(text)) != text) continue;
    for (int insertion = 0; insertion < 4; ++insertion) {
      std::size_t at = std::uniform_int_distribution<std::size_t>(0, text.size())(random);
      if (at > 0 && at < text.size() && IsTrailSurrogate(text[at])) --at;
      text.insert(at, kInvisibleCharacters[random() % std::size(kInvisibleCharacters)]);
    }
    const std::u16string visible = WithoutInvisible(text);
    const std::string bytes = ToUtf8(text);
    for (const ConversionOptions& options : all) {
      const std::u16string output = ConvertText(text, options);
      ASSERT_EQ(WithoutInvisible(output), ConvertText(visible, options))
          << Describe(options) << ": " << UnitCodes(text);
      ASSERT_EQ(StreamInPieces(text, RandomCuts(text.size(), random), options), ToUtf8(output))
          << Describe(options) << ": " << UnitCodes(text);
      // A byte-order mark at the very start is no part of a UTF-8 text.
      if (text.front() == u'\uFEFF') continue;
      ASSERT_EQ(Utf8InPieces(bytes, RandomCuts(bytes.size(), random), options), ToUtf8(output))
          << Describe(options) << ": " << UnitCodes(text);
    }
  }
}

// Far more text than the converter keeps, with no punctuation to cut it at, and a run in which
// every unit starts a word that reaches over the next (一一), so that nothing cuts it but length.
TEST(ReadingOptions, AnEndlessRunIsCutTheSameWayWhateverThePieces) {
  std::u16string text;
  for (int i = 0; i < 3000; ++i) text += u"研究生命和服务的长大";
  text += std::u16string(5000, u'一');
  const ConversionOptions options{Style::Numbers, LineBreaks::Drop, ReadBy::Word, true};
  const std::string whole = ToUtf8(ConvertText(text, options));
  std::mt19937_64 random(3);
  for (int round = 0; round < 5; ++round) {
    ASSERT_EQ(StreamInPieces(text, RandomCuts(text.size(), random), options), whole);
  }
}

}  // namespace
}  // namespace mibolan
