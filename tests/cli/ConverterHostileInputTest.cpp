// The converter under input and surroundings meant to hurt it: each case ends with the right
// output or a clear message and a failing status, never a crash, a hang, or partial output
// passed off as success.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include <mibolan/ConvertText.h>

#include "ChildProcess.h"
#include "CommandRunner.h"
#include "Utf.h"

namespace mibolan {
namespace {

using testing::ChildResult;
using testing::ChildSetup;
using testing::RunChild;
using testing::StandardOutput;
using testing_support::ReadFile;

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
  std::string problem;          // the message after "FILE: "
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
      {"truncated before ASCII",
       "人\xE4\xBA"
       "a人",
       "invalid UTF-8 at byte offset 3", "rén \n"},
      {"truncated at a read boundary",
       A(kReadSize - 1) + "\xE4"
                          "a",
       "invalid UTF-8 at byte offset 65535", "\n"},
      {"truncated at the end of a full read", A(kReadSize - 2) + "\xE4\xBA",
       "truncated UTF-8 sequence at byte offset 65534", "\n"},
      {"broken just after a read boundary", A(kReadSize - 1) + "人\x80", "invalid UTF-8 at byte offset 65538",
       "rén \n"},
  };
  // Reading by word takes another way through the text; the errors stay where they are.
  for (const std::vector<std::string>& options : {std::vector<std::string>{}, std::vector<std::string>{"--words"},
                                                  std::vector<std::string>{"--words", "--tone-sandhi"}}) {
    for (const BadBytes& bad : cases) {
      SCOPED_TRACE(bad.name + std::string(options.empty() ? "" : " " + options.back()));
      const std::string path = File("bad.txt", bad.content);
      std::vector<std::string> arguments = options;
      arguments.push_back(path);
      const ChildResult result = Run(arguments);
      EXPECT_EQ(result.exitCode, 1);
      EXPECT_EQ(result.err, "mibolan-convert: " + path + ": " + bad.problem + "\n");
      EXPECT_EQ(result.out, bad.convertedPrefix);
    }
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
      // Kept lines to a pipe take another way, line by line.
      {"gbk --keep-lines",
       {"after a line", "\xC8\xCB\r\n\xD0\xD0\xFF", "invalid GBK at byte offset 6", "rén \r\nxíng \n"}},
      {"gb18030 --keep-lines",
       {"truncated after a line", "\xC8\xCB\n\x95\x32", "truncated GB18030 sequence at byte offset 3", "rén \n"}},
  };
  for (const auto& each : cases) {
    SCOPED_TRACE(std::string(each.encoding) + ": " + each.bad.name);
    const std::string path = File("bad.txt", each.bad.content);
    std::istringstream words(std::string("--encoding=") + each.encoding);
    std::vector<std::string> arguments(std::istream_iterator<std::string>(words), {});
    arguments.push_back(path);
    const ChildResult result = Run(arguments);
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

// `mibolan-convert f.txt >> f.txt` would read its own output for ever.
TEST_F(HostileInput, InputThatIsTheOutputFileIsRefused) {
  const std::string kOriginal = "我爱人\n";
  const struct {
    const char* name;
    std::vector<std::string> arguments;  // "OUT" stands for the output file's path
    bool inputFromOutput;                // standard input reads the output file
    std::string refused;                 // as the message names it, or "" when nothing is refused
    std::string appended;                // to the output file
  } cases[] = {
      {"the output file itself", {"OUT", "OTHER"}, false, "OUT", "rén \n"},
      {"a hard link to it", {"--style=annotated", "LINK", "OTHER"}, false, "LINK", "人(rén)\n"},
      {"standard input", {"-", "OTHER"}, true, "(standard input)", "rén \n"},
      {"with kept lines", {"--keep-lines", "OTHER", "OUT"}, false, "OUT", "rén \n"},
      {"a different file", {"OTHER"}, false, "", "rén \n"},
  };
  for (const auto& each : cases) {
    SCOPED_TRACE(each.name);
    const std::string out = File("out.txt", kOriginal);
    const std::string link = (folder_ / "link.txt").string();
    std::filesystem::remove(link);
    std::filesystem::create_hard_link(out, link);
    const std::map<std::string, std::string> paths = {{"OUT", out}, {"LINK", link}, {"OTHER", File("other.txt", "人")}};
    ChildSetup setup;
    for (const std::string& argument : each.arguments) {
      setup.arguments.push_back(paths.contains(argument) ? paths.at(argument) : argument);
    }
    if (each.inputFromOutput) setup.inputFile = out;
    setup.standardOutput = StandardOutput::File;
    setup.outputFile = out;
    const ChildResult result = RunChild(MIBOLAN_CONVERT, setup);
    EXPECT_FALSE(result.timedOut);
    const std::string refused = paths.contains(each.refused) ? paths.at(each.refused) : each.refused;
    EXPECT_EQ(result.exitCode, refused.empty() ? 0 : 1);
    EXPECT_EQ(result.err, refused.empty() ? "" : "mibolan-convert: " + refused + ": input file is output file\n");
    EXPECT_EQ(ReadFile(out), kOriginal + each.appended);
  }
}

// A name can hold anything but "/" and NUL; in a message it must not work on the terminal.
TEST_F(HostileInput, NamesWithControlsOrBadBytesAreQuotedInMessages) {
  const struct {
    std::string name;
    std::string shown;
  } cases[] = {
      {"\x1B]0;x\a\x1B[2J", R"(''$'\033'']0;x'$'\a\033''[2J')"},
      {"a\nb", R"('a'$'\n''b')"},
      {"\xFF.txt", R"(''$'\377''.txt')"},
      {"名\xC2\x85字", R"('名'$'\302\205''字')"},  // a C1 control
      {"it's\t", R"('it'\''s'$'\t')"},
      {"名\xE5\xAD", R"('名'$'\345\255')"},  // cut short
      {"a b&'名字'.txt", "a b&'名字'.txt"},  // shown as it is
  };
  for (const auto& each : cases) {
    const ChildResult result = Run({"no-such-folder/" + each.name});
    EXPECT_EQ(result.exitCode, 1);
    const std::string shown =
        each.shown.starts_with('\'') ? "'no-such-folder/" + each.shown.substr(1) : "no-such-folder/" + each.shown;
    EXPECT_EQ(result.err, "mibolan-convert: " + shown + ": No such file or directory\n");
  }
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
  EXPECT_EQ(ReadFile(path), input) << "the input file was written to";
}

TEST_F(HostileInput, EveryOutputReportsAWriteError) {
  const std::string text = File("text.txt", "我爱人\n");
  const std::vector<std::string> cases[] = {
      {"--version"}, {"--help"}, {"--dictionary"}, {text}, {"--keep-lines", text}, {"--style=html", text}, {"-"},
  };
  for (const std::vector<std::string>& arguments : cases) {
    SCOPED_TRACE(arguments[0]);
    ChildSetup setup;
    setup.arguments = arguments;
    setup.input = "人";
    setup.standardOutput = StandardOutput::File;
    setup.outputFile = "/dev/full";
    const ChildResult result = RunChild(MIBOLAN_CONVERT, setup);
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "mibolan-convert: write error: No space left on device\n");
  }
}

// With kept lines each line reaches a pipe as soon as it ends: the next line is sent only once
// the output of the one before has come, so a converter that holds a line back never ends.
TEST_F(HostileInput, KeptLinesReachAPipeAsEachEnds) {
  const struct {
    const char* encoding;
    std::vector<std::string> lines;
    std::vector<std::string> answers;
    std::vector<std::string> options = {};
  } cases[] = {
      {"utf-8", {"我\n", "银行\r\n", "\n", "重"}, {"wǒ \n", "yín háng \r\n", "\n", "zhòng \n"}},
      {"gbk", {"\xCE\xD2\n", "\xD2\xF8\xD0\xD0\r\n"}, {"wǒ \n", "yín háng \r\n"}},
      {"gb18030", {"\xC8\xCB\n"}, {"rén \n"}},
      // By word, and with the tone changes, which wait for the reading that follows 一.
      {"utf-8",
       {"校长\n", "跑得快\n", "一\n", "一个"},
       {"xiào zhǎng \n", "pǎo de kuài \n", "yī \n", "yí gè \n"},
       {"--words", "--tone-sandhi"}},
  };
  for (const auto& each : cases) {
    SCOPED_TRACE(each.encoding);
    const std::string fifo = (folder_ / "lines").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Open for reading too, so that this does not wait for the converter to open it.
    int writer = ::open(fifo.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    std::size_t turn = 0;
    std::string expected;
    const auto send = [&] {
      const std::string& line = each.lines[turn];
      ASSERT_EQ(::write(writer, line.data(), line.size()), static_cast<ssize_t>(line.size()));
      expected += each.answers[turn];
      if (!line.ends_with('\n')) {
        ::close(writer);  // a last line without line break has its answer at the end of the text
        writer = -1;
      }
    };
    send();
    std::string out;
    ChildSetup setup;
    setup.arguments = each.options;
    setup.arguments.insert(setup.arguments.end(), {"--keep-lines", std::string("--encoding=") + each.encoding, fifo});
    setup.timeout = std::chrono::seconds(20);
    setup.outputSink = [&](std::string_view piece) {
      out += piece;
      if (out != expected || writer < 0) return;
      if (++turn < each.lines.size()) {
        send();
      } else {
        ::close(writer);
        writer = -1;
      }
    };
    const ChildResult result = RunChild(MIBOLAN_CONVERT, setup);
    if (writer >= 0) ::close(writer);
    std::filesystem::remove(fifo);
    EXPECT_FALSE(result.timedOut) << "lines answered: " << turn << ", output: " << out;
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(out, expected);
  }
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
                                  : kSanitized            ? 16
                                                          : 100;
  const std::string text = ToUtf8(kLineText);
  std::string block;
  while (block.size() + text.size() <= kReadSize) block += text;
  const std::uint64_t blocks = (mebibytes << 20) / block.size();

  for (const bool byWord : {false, true}) {
    for (const bool keepLines : {false, true}) {
      SCOPED_TRACE(std::string(keepLines ? "kept lines" : "one line") + (byWord ? ", by word" : ""));
      ChildSetup setup;
      if (keepLines) setup.arguments.push_back("--keep-lines");
      if (byWord) setup.arguments.push_back("--words");
      std::uint64_t sent = 0;
      setup.inputSource = [&]() -> std::string_view { return sent++ < blocks ? block : std::string_view{}; };
      const ConversionOptions options{.readBy = byWord ? ReadBy::Word : ReadBy::Character};
      RepeatedOutputChecker checker(ToUtf8(ConvertText(kLineText, options)), blocks * (block.size() / text.size()));
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
}

}  // namespace
}  // namespace mibolan
