// The converter's two threads give what one Utf8Converter gives on the whole text, whatever the
// sizes of the pieces and of the reads: the same output, verdict, error offset and last line feed,
// lines longer than a piece included; and the program takes them for large files.
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <random>
#include <string>

#include <mibolan/Utf8Converter.h>

#include "CommandRunner.h"
#include "OutputSink.h"
#include "ParallelConverter.h"
#include "Utf8Outcome.h"

namespace mibolan::cli {
namespace {

using Outcome = testing_support::Utf8Outcome;
using testing_support::ConvertWhole;

// Reads `text` into the converter in reads of random sizes, as a file system may hand them out.
Outcome TwoThreads(std::string_view text, const ConversionOptions& options, PieceSizes sizes, std::mt19937& random) {
  const int fd = ::memfd_create("output", 0);
  EXPECT_GE(fd, 0);
  Outcome outcome;
  {
    OutputSink output(OutputSink::Pace::Blocks, fd);
    ParallelConverter converter(options, sizes);
    std::size_t at = 0;
    while (outcome.ok && at < text.size()) {
      const std::span<char> room = converter.Room();
      const std::size_t size = std::min<std::size_t>(1 + random() % room.size(), text.size() - at);
      std::copy_n(text.data() + at, size, room.data());
      at += size;
      outcome.ok = converter.Feed(size, output);
      output.WriteReady();
    }
    if (outcome.ok) {
      outcome.ok = converter.Finish(output);
      outcome.truncated = !outcome.ok && converter.Truncated();
    } else {
      converter.Finish(output);
    }
    if (!outcome.ok) outcome.errorOffset = converter.ErrorOffset();
    outcome.endsWithLineFeed = converter.EndsWithLineFeed();
    output.Flush();
  }
  outcome.out.resize(static_cast<std::size_t>(::lseek(fd, 0, SEEK_END)));
  EXPECT_EQ(::pread(fd, outcome.out.data(), outcome.out.size(), 0), static_cast<ssize_t>(outcome.out.size()));
  ::close(fd);
  return outcome;
}

// Lines that start with what a rule looks at, words, tone changes, a byte-order mark past the
// start, and bad or cut sequences.
const std::string_view kPieces[] = {"团长", "银行",         "一个", "不是", "校长",     "长大",    "abc ",
                                    "，",   "\xEF\xBB\xBF", "\r",   "\xFF", "\xE4\xBA", "\xC0\xAF"};
constexpr std::size_t kWellFormed = 10;

std::string RandomText(std::mt19937& random, std::size_t lines, std::size_t longestLine, bool withErrors) {
  std::string text;
  const std::size_t choices = withErrors ? std::size(kPieces) : kWellFormed;
  for (std::size_t line = 0; line < lines; ++line) {
    const std::size_t length = random() % (longestLine + 1);
    const std::size_t start = text.size();
    while (text.size() - start < length) text += kPieces[random() % choices];
    if (random() % 8 != 0) text += '\n';
  }
  return text;
}

constexpr ConversionOptions kOptions[] = {
    {},
    {Style::Annotated, LineBreaks::Keep, ReadBy::Character, false},
    {Style::Html, LineBreaks::Drop, ReadBy::Word, true},
    {Style::Numbers, LineBreaks::Keep, ReadBy::Word, false},
};

TEST(ParallelConverter, TinyPiecesAndLongLinesGiveTheWholeTextsOutput) {
  std::mt19937 random(20261208);
  for (int round = 0; round < 300; ++round) {
    const PieceSizes sizes{1 + random() % 24, 2 + random() % 3};
    const std::string text = RandomText(random, random() % 12, 3 * sizes.piece, round % 3 == 0);
    for (const ConversionOptions& options : kOptions) {
      ASSERT_EQ(TwoThreads(text, options, sizes, random), ConvertWhole(text, options))
          << "round " << round << ", pieces of " << sizes.piece << " bytes, " << sizes.pieces << " at most";
    }
  }
}

TEST(ParallelConverter, ManyPiecesConvertedAtOnceComeOutInOrder) {
  std::mt19937 random(5);
  const std::string text = RandomText(random, 40000, 60, false);
  for (const ConversionOptions& options : kOptions) {
    ASSERT_EQ(TwoThreads(text, options, {1024, 4}, random), ConvertWhole(text, options));
  }
  std::string late = text;
  late.insert(late.size() - 1000, 1, '\xFF');
  ASSERT_EQ(TwoThreads(late, {}, {1024, 4}, random), ConvertWhole(late, {}));
}

TEST(ParallelConverter, TheProgramConvertsLargeFilesOnTwoThreads) {
  std::mt19937 random(9);
  std::string text = RandomText(random, 120000, 60, false);
  const std::string path = testing_support::WriteTempFile("large.txt", text);
  const Outcome expected = ConvertWhole(text, {});
  const testing_support::CommandResult result = testing_support::Convert({path});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, expected.out + "\n");

  const std::size_t bad = text.find('\n', text.size() - 5000) + 1;
  text.insert(bad, 1, '\x80');
  const std::string badPath = testing_support::WriteTempFile("large-bad.txt", text);
  const testing_support::CommandResult failed = testing_support::Convert({badPath});
  EXPECT_EQ(failed.status, 1);
  EXPECT_EQ(failed.out, ConvertWhole(text, {}).out + "\n");
  EXPECT_EQ(failed.err, "mibolan-convert: " + badPath + ": invalid UTF-8 at byte offset " + std::to_string(bad) + "\n");
}

}  // namespace
}  // namespace mibolan::cli
