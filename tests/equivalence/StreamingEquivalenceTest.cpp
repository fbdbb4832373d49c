// Converting a text in pieces, split at any byte, gives what converting it whole gives: in both
// styles, with and without kept line breaks, for the decoder and converter and for the program.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>

#include <utf8.h>

#include <mibolan/ConvertText.h>
#include <mibolan/StreamConverter.h>

#include "ChildProcess.h"
#include "ConversionPass.h"
#include "ReferencePass.h"
#include "TextGenerator.h"
#include "Utf.h"
#include "Utf8Decoder.h"

namespace mibolan {
namespace {

struct Mode {
  Style style;
  LineBreaks lineBreaks;
  const char* name;
};

constexpr Mode kModes[] = {
    {Style::Pinyin, LineBreaks::Drop, "pinyin"},
    {Style::Annotated, LineBreaks::Drop, "annotated"},
    {Style::Pinyin, LineBreaks::Keep, "pinyin, kept lines"},
    {Style::Annotated, LineBreaks::Keep, "annotated, kept lines"},
};

// What the literal conversion makes of the whole text, in UTF-8.
std::string WholeTextOutput(std::string_view utf8Text, const Mode& mode) {
  const std::u16string text = utf8::utf8to16(utf8Text);
  const auto& parts = reference::EmbeddedDictionaryParts();
  const bool annotated = mode.style == Style::Annotated;
  return ToUtf8(mode.lineBreaks == LineBreaks::Keep
                    ? reference::ReferenceConvertTextKeepingLines(text, parts, annotated, !annotated)
                    : reference::ReferenceConvertText(text, parts, annotated, !annotated));
}

// Decodes and converts `bytes` in the pieces that the ascending byte offsets `cuts` make.
std::string ConvertInPieces(std::string_view bytes, const std::vector<std::size_t>& cuts, const Mode& mode) {
  Utf8Decoder decoder;
  StreamConverter converter({mode.style, mode.lineBreaks});
  std::string out;
  std::u16string units;
  std::size_t start = 0;
  for (std::size_t cut : cuts) {
    units.clear();
    EXPECT_TRUE(decoder.Decode(bytes.substr(start, cut - start), units));
    converter.Feed(units, out);
    start = cut;
  }
  units.clear();
  EXPECT_TRUE(decoder.Decode(bytes.substr(start), units));
  EXPECT_TRUE(decoder.Finish());
  converter.Feed(units, out);
  converter.Finish(out);
  return out;
}

std::string WithoutLineEnds(std::string text) {
  std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
  return text;
}

// Texts in which a piece boundary can fall between a rule character and its context, inside a
// character of two, three or four bytes, or between "\r" and "\n".
const std::string_view kTexts[] = {
    "",
    "我\r\n成长",
    "消\n长大",
    "银行\n行家 行 行\r\n",
    "《乐》音乐\r\r\n",
    "重\n重庆",
    "a\xF0\xA0\x80\x80长大ü\n",
    "\n\n\r\n",
    "低见牛，三百六十行",
    "暖和和\r\n知了",
    "长长到蓝\n往上长",
};

TEST(StreamingEquivalence, KeptLinesChangeNoReading) {
  // Converting each line alone would read this 长 at the second position of its line as
  // "cháng"; the readings are those of the whole text.
  EXPECT_EQ(ConvertInPieces("我\r\n成长", {}, kModes[2]), "wǒ \r\nchéng zhǎng ");
  EXPECT_EQ(ConvertInPieces("我\n成长", {}, kModes[3]), "我(wǒ)\n成(chéng)长(zhǎng)");
}

TEST(StreamingEquivalence, EveryPairOfCuts) {
  for (std::string_view text : kTexts) {
    for (const Mode& mode : kModes) {
      SCOPED_TRACE(std::string(mode.name) + ", text \"" + std::string(text) + "\"");
      const std::string whole = WholeTextOutput(text, mode);
      ASSERT_EQ(ConvertInPieces(text, {}, mode), whole);
      if (mode.lineBreaks == LineBreaks::Keep) {
        EXPECT_EQ(WithoutLineEnds(whole), WholeTextOutput(text, {mode.style, LineBreaks::Drop, ""}));
      }
      for (std::size_t first = 0; first <= text.size(); ++first) {
        for (std::size_t second = first; second <= text.size(); ++second) {
          ASSERT_EQ(ConvertInPieces(text, {first, second}, mode), whole) << "cut at " << first << ", " << second;
        }
      }
    }
  }
}

TEST(StreamingEquivalence, RandomTextsInRandomPieces) {
  const std::uint64_t seed = testing::NumberFromEnvironment("MIBOLAN_DIFFERENTIAL_SEED", 20240601);
  const std::uint64_t count = testing::NumberFromEnvironment("MIBOLAN_DIFFERENTIAL_TEXTS", 3000) / 10;
  testing::TextGenerator generator(seed);
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::string text = ToUtf8(generator.Text(40, false));
    std::vector<std::size_t> cuts(generator.Below(8));
    for (std::size_t& cut : cuts) cut = generator.Below(text.size() + 1);
    std::sort(cuts.begin(), cuts.end());
    for (const Mode& mode : kModes) {
      ASSERT_EQ(ConvertInPieces(text, cuts, mode), WholeTextOutput(text, mode))
          << mode.name << ", seed " << seed << ", text " << i << ": " << text;
    }
  }
}

// A long text is converted in parts shared with a second thread: the parts meet exactly wherever
// the text is cut, and a text long enough is shared, or not when the options allow one thread.
TEST(StreamingEquivalence, TwoHalvesMeetAtEverySplit) {
  const std::uint64_t seed = testing::NumberFromEnvironment("MIBOLAN_DIFFERENTIAL_SEED", 20240601);
  testing::TextGenerator generator(seed);
  for (int i = 0; i < 100; ++i) {
    const std::u16string text = generator.Text(30);
    for (const Style style : {Style::Pinyin, Style::Annotated, Style::Numbers}) {
      const std::u16string whole = ConvertDirectly(text, style, text.size());
      for (std::size_t part = 1; part < text.size(); ++part) {
        ASSERT_EQ(ConvertDirectly(text, style, part), whole)
            << "seed " << seed << ", text " << i << " parts of " << part << ": " << testing::UnitCodes(text);
      }
    }
  }
  std::u16string longText;
  while (longText.size() < (std::size_t{1} << 20)) longText += generator.Text(1000);
  for (const Style style : {Style::Pinyin, Style::Annotated}) {
    const std::u16string whole = ConvertDirectly(longText, style, longText.size());
    EXPECT_TRUE(ConvertText(longText, style) == whole);
    EXPECT_TRUE(ConvertText(longText, {.style = style, .threads = 1}) == whole);
  }
}

// A long text that the streaming walk converts (by word, with tone changes, the html style, kept
// lines) is converted in parts cut at line feeds, shared with a second thread: the same as
// converting it whole in one pass.
TEST(StreamingEquivalence, StreamingWalkInPartsMeetsAtLineFeeds) {
  testing::TextGenerator generator(testing::NumberFromEnvironment("MIBOLAN_DIFFERENTIAL_SEED", 20240601));
  // Lone surrogates too, which the output must give as U+FFFD in every style.
  const std::u16string loneSurrogates = {u'长', char16_t{0xD800}, u'行', char16_t{0xDC00}, u'\n'};
  std::u16string longText;
  while (longText.size() < (std::size_t{1} << 20)) {
    longText += generator.Text(1000) + u"\n一不银\u200D行" + loneSurrogates;
  }
  const ConversionOptions optionSets[] = {
      {.readBy = ReadBy::Word},
      Textbook(Style::Annotated),
      {.style = Style::Html, .readBy = ReadBy::Word},
      {.style = Style::Numbers, .lineBreaks = LineBreaks::Keep, .readBy = ReadBy::Word, .toneSandhi = true},
      {.style = Style::Html},
      {.style = Style::Annotated, .lineBreaks = LineBreaks::Keep, .toneSandhi = true},
  };
  for (const ConversionOptions& options : optionSets) {
    StreamConverter whole(options);
    std::string expected;
    whole.Feed(longText, expected);
    whole.Finish(expected);
    EXPECT_TRUE(ConvertText(longText, options) == ToUtf16(expected)) << "style " << static_cast<int>(options.style);
  }
}

#ifdef MIBOLAN_CONVERT
// The program reads files 64 KiB at a time: shifting the text against that boundary puts a
// read boundary at every byte of it.
TEST(StreamingEquivalence, ProgramReadsAcrossItsReadSize) {
  constexpr std::size_t kReadSize = 1 << 16;
  const std::string text = "银行\r\n成长《乐》\xF0\xA0\x80\x80ü长长到蓝";
  char path[] = "/tmp/mibolan-streaming-XXXXXX";
  const int fd = ::mkstemp(path);
  ASSERT_GE(fd, 0);
  ::close(fd);
  for (std::size_t shift = 1; shift <= text.size(); ++shift) {
    const std::string content = std::string(kReadSize - shift, 'a') + text;
    std::ofstream(path, std::ios::binary) << content;
    for (const Mode& mode : kModes) {
      testing::ChildSetup setup;
      setup.arguments = {mode.style == Style::Annotated ? "--style=annotated" : "--style=pinyin", path};
      if (mode.lineBreaks == LineBreaks::Keep) setup.arguments.emplace_back("--keep-lines");
      const testing::ChildResult result = testing::RunChild(MIBOLAN_CONVERT, setup);
      ASSERT_EQ(result.exitCode, 0) << result.err;
      EXPECT_EQ(result.out, WholeTextOutput(content, mode) + "\n") << mode.name << ", shift " << shift;
    }
  }
  std::remove(path);
}

// Through a pipe the program gets whatever has been written so far, here a few bytes at a time.
TEST(StreamingEquivalence, ProgramReadsAPipeInSmallPieces) {
  for (std::string_view text : kTexts) {
    for (const Mode& mode : kModes) {
      testing::ChildSetup setup;
      setup.arguments = {mode.style == Style::Annotated ? "--style=annotated" : "--style=pinyin"};
      if (mode.lineBreaks == LineBreaks::Keep) setup.arguments.emplace_back("--keep-lines");
      std::size_t offset = 0;
      setup.inputSource = [&]() -> std::string_view {
        const std::string_view piece = text.substr(offset, std::min<std::size_t>(3, text.size() - offset));
        offset += piece.size();
        if (!piece.empty()) ::usleep(200);
        return piece;
      };
      const testing::ChildResult result = testing::RunChild(MIBOLAN_CONVERT, setup);
      ASSERT_EQ(result.exitCode, 0) << result.err;
      const bool endsWithLineEnd = mode.lineBreaks == LineBreaks::Keep && text.ends_with('\n');
      EXPECT_EQ(result.out, WholeTextOutput(text, mode) + (endsWithLineEnd ? "" : "\n"))
          << mode.name << ", text \"" << text << "\"";
    }
  }
}

#endif  // MIBOLAN_CONVERT

}  // namespace
}  // namespace mibolan
