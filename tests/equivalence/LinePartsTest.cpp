// A text cut just after line feeds converts part by part, each part by a converter that starts
// at the part's offset, to exactly what it converts to whole: the same output in every style and
// way of reading, the same verdict and error offset, the same last line feed. The converter's
// second thread rests on this.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include <mibolan/Utf8Converter.h>

#include "OptionNames.h"
#include "TextGenerator.h"
#include "Utf.h"
#include "Utf8Outcome.h"

namespace mibolan {
namespace {

using Outcome = testing_support::Utf8Outcome;
using testing_support::ConvertPart;
using testing_support::Describe;

std::vector<ConversionOptions> AllOptions() {
  std::vector<ConversionOptions> all;
  for (ReadBy readBy : {ReadBy::Character, ReadBy::Word}) {
    for (bool toneSandhi : {false, true}) {
      for (Style style : {Style::Pinyin, Style::Annotated, Style::Numbers, Style::Html}) {
        for (LineBreaks lineBreaks : {LineBreaks::Drop, LineBreaks::Keep}) {
          all.push_back({style, lineBreaks, readBy, toneSandhi});
        }
      }
    }
  }
  return all;
}

// Converts the parts that end at `cuts` (ascending) and the rest, one after the other, as the
// converter's threads do: the first part that goes wrong ends the text.
Outcome ConvertParts(std::string_view bytes, const std::vector<std::size_t>& cuts, const ConversionOptions& options) {
  Outcome outcome;
  std::size_t start = 0;
  for (std::size_t end : cuts) {
    ConvertPart(bytes, start, end, options, outcome);
    if (!outcome.ok) return outcome;
    start = end;
  }
  ConvertPart(bytes, start, bytes.size(), options, outcome);
  return outcome;
}

// Where a part may start: just after each line feed.
std::vector<std::size_t> LineStarts(std::string_view bytes) {
  std::vector<std::size_t> starts;
  for (std::size_t at = bytes.find('\n'); at != std::string_view::npos; at = bytes.find('\n', at + 1)) {
    starts.push_back(at + 1);
  }
  return starts;
}

// Rules that look at whether characters come before (团长 at the start of a line), words and
// tone changes of 一 and 不 at the ends of lines, byte-order marks, and bad or cut sequences next
// to line feeds.
const std::string_view kBytePieces[] = {"\n",       "\r\n",   "\n\n",     "\n团长", "一\n",         "不\n",
                                        "\n一个",   "校长\n", "重\n庆",   "银\n行", "\xEF\xBB\xBF", "\n\xEF\xBB\xBF人",
                                        "\xE4\xBA", "\xFF",   "\xC0\xAF", "\n\x80", "\xE4\n"};
constexpr std::size_t kWellFormedPieces = 12;

TEST(LineParts, ConvertApartAsTheWholeText) {
  testing::TextGenerator generator(20261208);
  std::mt19937_64 random(12);
  const std::vector<ConversionOptions> all = AllOptions();
  for (int round = 0; round < 1000; ++round) {
    std::string bytes;
    const std::size_t pieces = random() % 10;
    // One text in four goes wrong somewhere; the others are compared at their full length.
    const std::size_t choices = round % 4 == 0 ? std::size(kBytePieces) : kWellFormedPieces;
    for (std::size_t i = 0; i < pieces; ++i) {
      bytes += random() % 2 == 0 ? std::string(kBytePieces[random() % choices]) : ToUtf8(generator.Text(6, false));
    }
    const std::vector<std::size_t> everyLine = LineStarts(bytes);
    std::vector<std::size_t> someLines;
    for (std::size_t start : everyLine) {
      if (random() % 2 == 0) someLines.push_back(start);
    }
    for (const ConversionOptions& options : all) {
      const Outcome whole = testing_support::ConvertWhole(bytes, options);
      ASSERT_EQ(ConvertParts(bytes, everyLine, options), whole)
          << Describe(options) << ", each line apart: " << testing::UnitCodes(ToUtf16(bytes));
      ASSERT_EQ(ConvertParts(bytes, someLines, options), whole)
          << Describe(options) << ", some lines apart: " << testing::UnitCodes(ToUtf16(bytes));
    }
  }
}

struct PartCase {
  const char* what;
  std::string_view text;
  std::size_t lineStart;
  Style style;
  Outcome expected;
};

void PrintTo(const PartCase& c, std::ostream* stream) { *stream << c.what; }

class LinePart : public ::testing::TestWithParam<PartCase> {};

TEST_P(LinePart, StartsWhereTheTextBeforeEndedALine) {
  const PartCase& c = GetParam();
  Outcome outcome;
  ConvertPart(c.text, c.lineStart, c.text.size(), {.style = c.style}, outcome);
  EXPECT_EQ(outcome, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LinePart,
    ::testing::Values(
        PartCase{"a byte-order mark past the start is a character",
                 "人\n\xEF\xBB\xBF人",
                 4,
                 Style::Html,
                 {"\xEF\xBB\xBF<ruby>人<rp>(</rp><rt>rén</rt><rp>)</rp></ruby>", true, 0, false, false}},
        PartCase{"errors count from the start of the whole text",
                 "人\n人\xFF",
                 4,
                 Style::Pinyin,
                 {"rén ", false, 7, false, false}},
        PartCase{
            "a cut character at the end of the text", "人\n\xE4\xBA", 4, Style::Pinyin, {"", false, 4, true, true}},
        PartCase{"an empty part still ends with the line feed before it",
                 "人\n",
                 4,
                 Style::Pinyin,
                 {"", true, 0, false, true}},
        PartCase{"so does a part that goes wrong at once", "人\n\x80", 4, Style::Pinyin, {"", false, 4, false, true}}));

}  // namespace
}  // namespace mibolan
