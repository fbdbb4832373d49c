// The direct UTF-8 converter gives, for any bytes cut into any pieces, what the decoder followed
// by the stream converter gives: the same output, the same verdict, the same error offset.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include <mibolan/StreamConverter.h>
#include <mibolan/Utf8Converter.h>

#include "Utf8Decoder.h"
#include "Utf8Outcome.h"

namespace mibolan {
namespace {

using Outcome = testing_support::Utf8Outcome;

struct Mode {
  Style style;
  LineBreaks lineBreaks;
};

constexpr Mode kModes[] = {{Style::Pinyin, LineBreaks::Drop},
                           {Style::Annotated, LineBreaks::Drop},
                           {Style::Numbers, LineBreaks::Drop},
                           {Style::Pinyin, LineBreaks::Keep},
                           {Style::Annotated, LineBreaks::Keep}};

std::vector<std::string_view> Pieces(std::string_view bytes, const std::vector<std::size_t>& cuts) {
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  for (std::size_t cut : cuts) {
    pieces.push_back(bytes.substr(start, cut - start));
    start = cut;
  }
  pieces.push_back(bytes.substr(start));
  return pieces;
}

// The way every style and encoding takes: decode, then convert, stopping at the first bad byte.
Outcome ThroughDecoder(std::string_view bytes, const std::vector<std::size_t>& cuts, const Mode& mode) {
  Utf8Decoder decoder;
  StreamConverter converter({mode.style, mode.lineBreaks});
  Outcome outcome;
  std::u16string units;
  for (std::string_view piece : Pieces(bytes, cuts)) {
    units.clear();
    outcome.ok = decoder.Decode(piece, units);
    converter.Feed(units, outcome.out);
    if (!outcome.ok) break;
  }
  if (outcome.ok) outcome.truncated = !(outcome.ok = decoder.Finish());
  converter.Finish(outcome.out);
  if (!outcome.ok) outcome.errorOffset = decoder.ErrorOffset();
  return outcome;
}

Outcome Direct(std::string_view bytes, const std::vector<std::size_t>& cuts, const Mode& mode) {
  Utf8Converter converter({mode.style, mode.lineBreaks});
  Outcome outcome;
  for (std::string_view piece : Pieces(bytes, cuts)) {
    outcome.ok = converter.Feed(piece, outcome.out);
    if (!outcome.ok) break;
  }
  if (outcome.ok) {
    outcome.ok = converter.Finish(outcome.out);
    outcome.truncated = !outcome.ok && converter.Truncated();
  } else {
    converter.Finish(outcome.out);
  }
  if (!outcome.ok) outcome.errorOffset = converter.ErrorOffset();
  return outcome;
}

// Pieces of UTF-8 that make rule contexts, characters of every length, bad and cut sequences.
const std::string_view kPieces[] = {"行",
                                    "银",
                                    "重",
                                    "庆",
                                    "长",
                                    "大",
                                    "成",
                                    "消",
                                    "了",
                                    "知",
                                    "乐",
                                    "《",
                                    "》",
                                    "为",
                                    "人",
                                    "和",
                                    "暖",
                                    "人",
                                    "我",
                                    "ü",
                                    "，",
                                    " ",
                                    "\r\n",
                                    "\n",
                                    "\r",
                                    "a",
                                    "1",
                                    "\xEF\xBB\xBF",
                                    "\xF0\xA0\x80\x80",
                                    "\xC3",
                                    "\xE4\xBA",
                                    "\x80",
                                    "\xED\xA0\x80",
                                    "\xC0\xAF",
                                    "\xF4\x90\x80\x80",
                                    std::string_view("\0", 1)};

TEST(Utf8Converter, AgreesWithTheDecoderAndStreamConverter) {
  std::mt19937 random(20261207);
  for (int round = 0; round < 4000; ++round) {
    std::string bytes;
    const std::size_t count = random() % 12;
    // Most texts are well formed, so that the conversion itself is compared at length.
    const std::size_t choices = round % 4 == 0 ? std::size(kPieces) : std::size(kPieces) - 8;
    for (std::size_t i = 0; i < count; ++i) bytes += kPieces[random() % choices];
    std::vector<std::size_t> cuts(random() % 4);
    for (std::size_t& cut : cuts) cut = random() % (bytes.size() + 1);
    std::sort(cuts.begin(), cuts.end());
    for (const Mode& mode : kModes) {
      ASSERT_EQ(Direct(bytes, cuts, mode), ThroughDecoder(bytes, cuts, mode)) << "round " << round;
    }
  }
}

TEST(Utf8Converter, ContextReachesAcrossLongRunsAndPieces) {
  const std::string ascii(100, 'x');
  const std::string texts[] = {"银" + ascii + "银行", ascii + "银行" + ascii, "我成" + ascii + "\n成长", "长" + ascii};
  for (const std::string& text : texts) {
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
      for (const Mode& mode : kModes) {
        ASSERT_EQ(Direct(text, {cut}, mode), ThroughDecoder(text, {cut}, mode)) << "cut at " << cut;
      }
    }
  }
}

TEST(Utf8Converter, ReportsWhereTheTextGoesWrong) {
  const Mode pinyin = kModes[0];
  EXPECT_EQ(Direct("银行\xC0\xAF人", {}, pinyin), (Outcome{"yín háng ", false, 6, false}));
  EXPECT_EQ(Direct("银行\xE4\xBA", {}, pinyin), (Outcome{"yín háng ", false, 6, true}));
  EXPECT_EQ(Direct("\xEF\xBB\xBF行\x80", {1}, pinyin), (Outcome{"xíng ", false, 6, false}));
}

}  // namespace
}  // namespace mibolan
