#include <mibolan/StreamConverter.h>

#include <gtest/gtest.h>

#include <string>

#include <mibolan/ConvertText.h>

#include "Utf.h"

namespace mibolan {
namespace {

// Feeds `text` in pieces of `pieceSize` units.
std::string ConvertInPieces(std::u16string_view text, std::size_t pieceSize, Style style, LineBreaks lineBreaks) {
  StreamConverter converter({style, lineBreaks});
  std::string out;
  for (std::size_t i = 0; i < text.size(); i += pieceSize) converter.Feed(text.substr(i, pieceSize), out);
  converter.Finish(out);
  return out;
}

const std::u16string kSamples[] = {
    u"",
    u"人",
    u"行 行",
    u"三百六十行，重重叠叠，知了飞不了。\r\n我成长，长大了，《乐》。",
    u"风吹草低见牛羊\n暖和和\n\n削苹果 少 壮 难为情",
    u"\xD800人\U00020000长到蓝天",
};

TEST(StreamConverter, AnySplitGivesTheWholeTextsOutput) {
  for (const std::u16string& text : kSamples) {
    for (Style style : {Style::Pinyin, Style::Annotated}) {
      const std::string whole = ToUtf8(ConvertText(text, style));
      for (std::size_t pieceSize = 1; pieceSize <= text.size() + 1; ++pieceSize) {
        EXPECT_EQ(ConvertInPieces(text, pieceSize, style, LineBreaks::Drop), whole) << "piece size " << pieceSize;
      }
    }
  }
}

// A long piece goes to the reading pass in parts: the words, invisible characters, surrogate pairs
// and line breaks that straddle the end of a part come out as they do from short pieces.
TEST(StreamConverter, LongPiecesReadAsShortOnes) {
  const auto plainText = [](std::size_t size) {
    std::u16string text;
    while (text.size() < size) text += u"银行的长城 abc，";
    return text.substr(0, size);
  };
  const std::u16string_view straddlers[] = {u"银\u200D\u200D行", u"长\U00020000城", u"\U00020000\uFE0F一",
                                            u"一个\r\n不对", u"重新长大"};
  const ConversionOptions optionSets[] = {
      {.style = Style::Annotated, .readBy = ReadBy::Word},
      {.style = Style::Html, .readBy = ReadBy::Word},
      {.style = Style::Numbers, .lineBreaks = LineBreaks::Keep, .readBy = ReadBy::Word, .toneSandhi = true},
  };
  constexpr std::size_t kFirstPart = 4096;  // units: the parts' size, whatever it is, divides it
  for (const std::u16string_view straddler : straddlers) {
    for (std::size_t offset = 0; offset <= straddler.size(); ++offset) {
      const std::u16string text = plainText(kFirstPart - offset) + std::u16string(straddler) + plainText(kFirstPart);
      for (const ConversionOptions& options : optionSets) {
        const auto convert = [&](std::size_t pieceSize) {
          StreamConverter converter(options);
          std::string out;
          for (std::size_t i = 0; i < text.size(); i += pieceSize) converter.Feed(text.substr(i, pieceSize), out);
          converter.Finish(out);
          return out;
        };
        ASSERT_EQ(convert(text.size()), convert(97))
            << "style " << static_cast<int>(options.style) << ", " << offset << " units before the end";
      }
    }
  }
}

TEST(StreamConverter, KeptLineBreaksEndLinesAndChangeNoReading) {
  struct Case {
    std::u16string input;
    std::string expected;
  };
  const Case cases[] = {
      {u"床前明月光，\n疑是地上霜。\r\n", "chuáng qián míng yuè guāng \nyí shì dì shàng shuāng \r\n"},
      {u"人\n\n安", "rén \n\nān "},
      {u"a\r\r\nb", "\r\n"},  // a lone "\r" is no line end
      // The readings are those of the whole text: 长 second on a line still counts the line
      // before, where a line converted on its own would skip the look-behind.
      {u"我\n成长", "wǒ \nchéng zhǎng "},
      {u"成\n长", "chéng \ncháng "},
  };
  for (const Case& c : cases) {
    for (std::size_t pieceSize : {1U, 2U, 5U, 1000U}) {
      EXPECT_EQ(ConvertInPieces(c.input, pieceSize, Style::Pinyin, LineBreaks::Keep), c.expected);
    }
  }
}

// No rule window matches across a line break, so dropping the kept line ends gives back the
// whole text's output.
TEST(StreamConverter, KeptLinesHoldTheSameReadingsAsTheWholeText) {
  const std::u16string text = u"银\n行\n重\n重\n消\n长\n快快\n长大\r\n《\n乐\n》\n低\n见\n牛";
  for (Style style : {Style::Pinyin, Style::Annotated}) {
    std::string kept = ConvertInPieces(text, 3, style, LineBreaks::Keep);
    std::erase(kept, '\n');
    std::erase(kept, '\r');
    EXPECT_EQ(kept, ToUtf8(ConvertText(text, style)));
  }
}

}  // namespace
}  // namespace mibolan
