// The converter under input and surroundings meant to hurt it: each case ends with the right
// output or a clear message and a failing status, never a crash, a hang, or partial output
// passed off as success.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <mibolan/ConvertText.h>

#include "ChildProcess.h"
#include "Utf.h"

namespace mibolan {
namespace {

using testing::ChildResult;
using testing::ChildSetup;
using testing::RunChild;
using testing::StandardOutput;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// A folder of its own for the files of one test, removed at its end.
class HostileInput : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/mibolan-hostile-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string File(const std::string& name, std::string_view content) {
    const std::string path = (folder_ / name).string();
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }

  static ChildResult Run(std::vector<std::string> arguments, std::string input = {}) {
    ChildSetup setup;
    setup.arguments = std::move(arguments);
    setup.input = std::move(input);
    ChildResult result = RunChild(MIBOLAN_CONVERT, setup);
    EXPECT_FALSE(result.timedOut);
    EXPECT_TRUE(result.exited) << "ended by signal " << result.signal << ": " << result.err;
    return result;
  }

  std::filesystem::path folder_;
};

constexpr std::size_t kReadSize = 1 << 16;  // the converter's read size

struct BadBytes {
  const char* name;
  std::string content;
  std::string problem;     // the message after "FILE: "
  std::string convertedPrefix;  // the output of what precedes the bad bytes, then its line break
};

std::string A(std::size_t count) { return std::string(count, 'a'); }

TEST_F(HostileInput, InvalidUtf8StopsTheFileWithItsOffset) {
  const BadBytes cases[] = {
      {"overlong two bytes", "人\xC0\xAF人", "invalid UTF-8 at byte offset 3", "rén \n"},
      {"overlong three bytes", "人\xE0\x80\xAF", "invalid UTF-8 at byte offset 3", "rén \n"},
      {"overlong four bytes", "\xF0\x80\x80\xAF人", "invalid UTF-8 at byte offset 0", "\n"},
      {"overlong NUL", "我\xC0\x80", "invalid UTF-8 at byte offset 3", "wǒ \n"},
      {"stray continuation byte", "人\x80人", "invalid UTF-8 at byte offset 3", "rén \n"},
      {"continuation byte after a whole character", "ab\xBF", "invalid UTF-8 at byte offset 2", "\n"},
      {"encoded high surrogate", "人\xED\xA0\x80", "invalid UTF-8 at byte offset 3", "rén \n"},
      {"encoded low surrogate", "\xED\xBF\xBF", "invalid UTF-8 at byte offset 0", "\n"},
      {"beyond U+10FFFF", "人\xF4\x90\x80\x80", "invalid UTF-8 at byte offset 3", "rén \n"},
      {"byte that never occurs", "人\xFF", "invalid UTF-8 at byte offset 3", "rén \n"},
      {"five-byte lead", "\xF8\x88\x80\x80\x80", "invalid UTF-8 at byte offset 0", "\n"},
      {"truncated at the end", "人\xE4\xBA", "truncated UTF-8 sequence at byte offset 3", "rén \n"},
      {"truncated before ASCII", "人\xE4\xBA" "a人", "invalid UTF-8 at byte offset 3", "rén \n"},
      {"truncated at a read boundary", A(kReadSize - 1) + "\xE4" "a", "invalid UTF-8 at byte offset 65535", "\n"},
      {"truncated at the end of a full read", A(kReadSize - 2) + "\xE4\xBA",
       "truncated UTF-8 sequence at byte offset 65534", "\n"},
      {"broken just after a read boundary", A(kReadSize - 1) + "人\x80", "invalid UTF-8 at byte offset 65538",
       "rén \n"},
  };
  for (const BadBytes& bad : cases) {
    SCOPED_TRACE(bad.name);
    const std::string path = File("bad.txt", bad.content);
    const ChildResult result = Run({path});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "mibolan-convert: " + path + ": " + bad.problem + "\n");
    EXPECT_EQ(result.out, bad.convertedPrefix);
  }
}

TEST_F(HostileInput, InvalidLegacyEncodingStopsTheFileWithItsOffset) {
  const struct {
    const char* encoding;
    BadBytes bad;
  } cases[] = {
      {"gbk", {"byte that never occurs", "\xC8\xCB\xFF", "invalid GBK at byte offset 2", "rén \n"}},
      {"gbk", {"lead byte before a line feed", "\xC8\xCB\xC8\n", "invalid GBK at byte offset 2", "rén \n"}},
      {"gbk", {"truncated at the end", "\xC8\xCB\xC8", "truncated GBK sequence at byte offset 2", "rén \n"}},
      {"gbk", {"lead byte at a read boundary", A(kReadSize - 1) + "\xC8\n", "invalid GBK at byte offset 65535", "\n"}},
      {"gb18030", {"four bytes cut short", "a\x95\x32\x82", "truncated GB18030 sequence at byte offset 1", "\n"}},
  };
  for (const auto& each : cases) {
    SCOPED_TRACE(std::string(each.encoding) + ": " + each.bad.name);
    const std::string path = File("bad.txt", each.bad.content);
    const ChildResult result = Run({std::string("--encoding=") + each.encoding, path});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "mibolan-convert: " + path + ": " + each.bad.problem + "\n");
    EXPECT_EQ(result.out, each.bad.convertedPrefix);
  }
}

TEST_F(HostileInput, FilesAfterABadOneAreStillConverted) {
  const std::string bad = File("bad.txt", "人\xC0\xAF");
  const std::string good = File("good.txt", "我爱人");
  const ChildResult result = Run({bad, good});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "rén \nwǒ ài rén \n");
  EXPECT_EQ(result.err, "mibolan-convert: " + bad + ": invalid UTF-8 at byte offset 3\n");
}

TEST_F(HostileInput, BadStandardInputIsNamedAsSuch) {
  const ChildResult result = Run({}, "人\xED\xA0\x80");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "mibolan-convert: (standard input): invalid UTF-8 at byte offset 3\n");
}

TEST_F(HostileInput, NulBytesAreCharactersLikeOthers) {
  constexpr char kText[] = "\0我\0爱\0\0人\0";
  const std::string text(kText, sizeof kText - 1);
  const struct {
    const char* style;
    const char* expected;
  } cases[] = {{"--style=pinyin", "wǒ ài rén \n"}, {"--style=annotated", "我(wǒ)爱(ài)人(rén)\n"}};
  for (const auto& each : cases) {
    const ChildResult result = Run({each.style, File("nul.txt", text)});
    EXPECT_EQ(result.exitCode, 0) << each.style;
    EXPECT_EQ(result.out, each.expected) << each.style;
    EXPECT_EQ(result.err, "");
  }
  const ChildResult nothingButNul = Run({}, std::string(3 * kReadSize, '\0'));
  EXPECT_EQ(nothingButNul.exitCode, 0);
  EXPECT_EQ(nothingButNul.out, "\n");
}

TEST_F(HostileInput, EmptyInputGivesAnEmptyLine) {
  const std::string empty = File("empty.txt", "");
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{empty}, {"--style=annotated", empty}, {"--keep-lines", empty}, {}, {"-"}}) {
    const ChildResult result = Run(arguments);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "\n");
    EXPECT_EQ(result.err, "");
  }
}

TEST_F(HostileInput, DirectoryIsNoFile) {
  const std::string good = File("good.txt", "人");
  const ChildResult alone = Run({folder_.string()});
  EXPECT_EQ(alone.exitCode, 1);
  EXPECT_EQ(alone.out, "");
  EXPECT_EQ(alone.err, "mibolan-convert: " + folder_.string() + ": Is a directory\n");

  const ChildResult withOthers = Run({good, folder_.string(), good});
  EXPECT_EQ(withOthers.exitCode, 1);
  EXPECT_EQ(withOthers.out, "rén \nrén \n");
  EXPECT_EQ(withOthers.err, "mibolan-convert: " + folder_.string() + ": Is a directory\n");
}

// Enough input that the converter writes many blocks after its reader has gone.
std::string LargeInput() {
  std::string input;
  while (input.size() < 4 * kReadSize) input += "我爱人\n";
  return input;
}

TEST_F(HostileInput, ReaderThatWentAwayEndsItQuietly) {
  for (const bool ignoreSigpipe : {false, true}) {
    SCOPED_TRACE(ignoreSigpipe ? "SIGPIPE ignored" : "SIGPIPE default");
    ChildSetup setup;
    setup.input = LargeInput();
    setup.standardOutput = StandardOutput::ReaderGone;
    setup.ignoreSigpipe = ignoreSigpipe;
    const ChildResult result = RunChild(MIBOLAN_CONVERT, setup);
    EXPECT_FALSE(result.timedOut);
    if (ignoreSigpipe) {
      EXPECT_TRUE(result.exited);
      EXPECT_EQ(result.exitCode, 1);
    } else {
      EXPECT_TRUE(result.signal == SIGPIPE || (result.exited && result.exitCode != 0))
          << "signal " << result.signal << ", exit " << result.exitCode;
    }
    EXPECT_EQ(result.err, "");
  }
}

TEST_F(HostileInput, ClosedStandardOutputIsAnError) {
  const std::string input = LargeInput();
  const std::string path = File("input.txt", input);
  for (const bool fromFile : {false, true}) {
    SCOPED_TRACE(fromFile ? "from a file" : "from standard input");
    ChildSetup setup;
    if (fromFile) {
      setup.arguments = {path};  // the file may get descriptor 1
    } else {
      setup.input = input;
    }
    setup.standardOutput = StandardOutput::Closed;
    const ChildResult result = RunChild(MIBOLAN_CONVERT, setup);
    EXPECT_FALSE(result.timedOut);
    EXPECT_TRUE(result.exited) << "ended by signal " << result.signal;
    EXPECT_NE(result.exitCode, 0);
    EXPECT_TRUE(result.err.starts_with("mibolan-convert: ")) << result.err;
  }
  std::ifstream file(path, std::ios::binary);
  std::stringstream after;
  after << file.rdbuf();
  EXPECT_EQ(after.str(), input) << "the input file was written to";
}

// A text without line breaks that repeats to a block of about 64 KiB; each copy converts alike,
// since no rule looks further than its own copy.
constexpr std::u16string_view kLineText = u"我爱人ab 12，银行长大了《乐》中国。";

// Checks a stream of output against copies of one text's output and a final line break.
class RepeatedOutputChecker {
 public:
  RepeatedOutputChecker(std::string unit, std::uint64_t copies)
      : unit_(std::move(unit)), expectedSize_(unit_.size() * copies + 1) {}

  void Take(std::string_view piece) {
    for (char byte : piece) {
      const char expected = seen_ + 1 < expectedSize_ ? unit_[seen_ % unit_.size()] : '\n';
      if (firstDifference_ < 0 && (seen_ >= expectedSize_ || byte != expected)) {
        firstDifference_ = static_cast<std::int64_t>(seen_);
      }
      ++seen_;
    }
  }

  std::uint64_t Seen() const { return seen_; }
  std::uint64_t ExpectedSize() const { return expectedSize_; }
  std::int64_t FirstDifference() const { return firstDifference_; }

 private:
  std::string unit_;
  std::uint64_t expectedSize_;
  std::uint64_t seen_ = 0;
  std::int64_t firstDifference_ = -1;
};

// MIBOLAN_LONG_LINE_MIB sets the size; sanitizer builds use a smaller one by default.
TEST_F(HostileInput, HundredMegabyteLineStreamsThrough) {
  const char* sizeVariable = std::getenv("MIBOLAN_LONG_LINE_MIB");
  const std::uint64_t mebibytes = sizeVariable != nullptr ? std::strtoull(sizeVariable, nullptr, 10)
                                  : kSanitized             ? 16
                                                           : 100;
  const std::string text = ToUtf8(kLineText);
  std::string block;
  while (block.size() + text.size() <= kReadSize) block += text;
  const std::uint64_t blocks = (mebibytes << 20) / block.size();

  for (const bool keepLines : {false, true}) {
    SCOPED_TRACE(keepLines ? "kept lines" : "one line");
    ChildSetup setup;
    if (keepLines) setup.arguments = {"--keep-lines"};
    std::uint64_t sent = 0;
    setup.inputSource = [&]() -> std::string_view { return sent++ < blocks ? block : std::string_view{}; };
    RepeatedOutputChecker checker(ToUtf8(ConvertText(kLineText, Style::Pinyin)),
                                  blocks * (block.size() / text.size()));
    setup.outputSink = [&](std::string_view piece) { checker.Take(piece); };
    const ChildResult result = RunChild(MIBOLAN_CONVERT, setup);

    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(checker.FirstDifference(), -1);
    EXPECT_EQ(checker.Seen(), checker.ExpectedSize());
    // Streaming keeps memory far below the size of the line (the sanitizers keep freed memory).
    if (!kSanitized && mebibytes >= 100) {
      EXPECT_LT(result.maxResidentKiB, 64 * 1024);
    }
  }
}

}  // namespace
}  // namespace mibolan
