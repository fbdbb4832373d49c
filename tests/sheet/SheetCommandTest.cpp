// mibolan-sheet as a script runs it: what it says and leaves behind when the input, the output or
// the command line is wrong, and the window's refusal to start without a display.
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <ostream>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "CommandRunner.h"

namespace {

using mibolan::testing::ChildResult;
using mibolan::testing::ChildSetup;
using mibolan::testing::RunChild;
using mibolan::testing::StandardOutput;
using mibolan::testing_support::CommandResult;
using mibolan::testing_support::ReadFile;
using mibolan::testing_support::RunCommand;
using mibolan::testing_support::WriteTempFile;

struct ErrorCase {
  const char* name;
  std::vector<std::string> arguments;  // "OUT" stands for an output file that held "old"
  std::string input;
  std::string message;  // standard error, "OUT" again for the output's path
};

void PrintTo(const ErrorCase& errorCase, std::ostream* out) { *out << errorCase.name; }

class SheetErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(SheetErrors, NamedOnStandardErrorWithStatusOneAndTheOutputLeftAlone) {
  const ErrorCase& test = GetParam();
  const std::string out = WriteTempFile(std::string(test.name) + ".pdf", "old");
  std::vector<std::string> arguments;
  for (const std::string& argument : test.arguments) arguments.push_back(argument == "OUT" ? out : argument);
  const CommandResult result = RunCommand(MIBOLAN_SHEET, arguments, test.input);
  std::string message = test.message;
  if (const auto at = message.find("OUT"); at != std::string::npos) message.replace(at, 3, out);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, message);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(ReadFile(out), "old");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SheetErrors,
    ::testing::Values(
        ErrorCase{"missing",
                  {"--pdf", "OUT", "/nonexistent/poem.txt"},
                  "",
                  "mibolan-sheet: /nonexistent/poem.txt: No such file or directory\n"},
        ErrorCase{"folder", {"--pdf", "OUT", "/"}, "", "mibolan-sheet: /: Is a directory\n"},
        ErrorCase{"invalid",
                  {"--pdf", "OUT"},
                  "我爱\xff人",
                  "mibolan-sheet: (standard input): invalid UTF-8 at byte offset 6\n"},
        ErrorCase{"surrogate",
                  {"--pdf", "OUT", "-"},
                  "\xed\xa0\x80",
                  "mibolan-sheet: (standard input): invalid UTF-8 at byte offset 0\n"},
        ErrorCase{"truncated",
                  {"--pdf", "OUT"},
                  "我\xe7\x88",
                  "mibolan-sheet: (standard input): truncated UTF-8 sequence at byte offset 3\n"},
        ErrorCase{"unwritable",
                  {"--pdf", "/nonexistent/sheet.pdf"},
                  "我爱人\n",
                  "mibolan-sheet: /nonexistent/sheet.pdf: No such file or directory\n"},
        ErrorCase{"over its input", {"--pdf", "OUT", "OUT"}, "", "mibolan-sheet: OUT: input file is output file\n"},
        ErrorCase{"into a folder", {"--pdf", "/tmp"}, "我\n", "mibolan-sheet: /tmp: Is a directory\n"},
        ErrorCase{"name with controls",
                  {"--pdf", "OUT", "/nonexistent/a\x1b[2J"},
                  "",
                  "mibolan-sheet: '/nonexistent/a'$'\\033''[2J': No such file or directory\n"},
        ErrorCase{"no character to practise",
                  {"--pdf", "OUT", "--characters", "，。 "},
                  "我\n",
                  "mibolan-sheet: --characters: no Chinese character in \"，。 \"\n"},
        ErrorCase{"a letter to practise",
                  {"--pdf", "OUT", "--characters", "人a口"},
                  "我\n",
                  "mibolan-sheet: --characters: \"a\" is not a Chinese character\n"},
        ErrorCase{"only punctuation",
                  {"--pdf", "OUT"},
                  "，。！\n",
                  "mibolan-sheet: (standard input): the text has no Chinese character to give a reading\n"},
        ErrorCase{"a practice page of Latin letters",
                  {"--pdf", "OUT", "--layout=practice"},
                  "abc 123\n",
                  "mibolan-sheet: (standard input): the text has no Chinese character to give a reading\n"},
        ErrorCase{"characters on a reading sheet",
                  {"--pdf", "OUT", "--layout=reading", "--characters", "人"},
                  "我\n",
                  "mibolan-sheet: --characters makes a practice page (--layout=practice)\n"}));

// A link to the input, soft or hard, is the input: writing the PDF there would destroy the text
// before it is read.
TEST(SheetCommand, NeverWritesOverItsInputThroughALink) {
  const std::string text = WriteTempFile("linked.txt", "我爱人\n");
  const std::string soft = text + ".soft.pdf";
  const std::string hard = text + ".hard.pdf";
  std::filesystem::create_symlink(text, soft);
  std::filesystem::create_hard_link(text, hard);
  for (const std::string& output : {soft, hard}) {
    const CommandResult result = RunCommand(MIBOLAN_SHEET, {"--pdf", output, text});
    EXPECT_EQ(result.status, 1) << output;
    EXPECT_EQ(result.err, "mibolan-sheet: " + text + ": input file is output file\n");
  }
  EXPECT_EQ(ReadFile(text), "我爱人\n");
}

// A PDF that replaces a file keeps the file's permissions; one written to standard output, a pipe
// or a terminal (a character device of the test's own) goes there directly, and the pipe and the
// terminal are still what they were.
TEST(SheetCommand, WritesInPlaceWhatIsNotARegularFileAndKeepsAFilesPermissions) {
  const std::string kept = WriteTempFile("kept.pdf", "old");
  ::chmod(kept.c_str(), 0640);
  EXPECT_EQ(RunCommand(MIBOLAN_SHEET, {"--pdf", kept}, "我").status, 0);
  EXPECT_TRUE(ReadFile(kept).starts_with("%PDF-"));
  EXPECT_EQ(std::filesystem::status(kept).permissions(), std::filesystem::perms::owner_read |
                                                             std::filesystem::perms::owner_write |
                                                             std::filesystem::perms::group_read);

  const CommandResult toStandardOutput = RunCommand(MIBOLAN_SHEET, {"--pdf", "-"}, "我");
  EXPECT_EQ(toStandardOutput.status, 0) << toStandardOutput.err;
  EXPECT_TRUE(toStandardOutput.out.starts_with("%PDF-"));
  EXPECT_TRUE(toStandardOutput.out.ends_with("%%EOF\n"));

  const std::string fifo = WriteTempFile("sheet.fifo", "") + ".pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  auto fromPipe = std::async(std::launch::async, [&] {
    std::ifstream in(fifo, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  });
  EXPECT_EQ(RunCommand(MIBOLAN_SHEET, {"--pdf", fifo}, "我").status, 0);
  EXPECT_TRUE(fromPipe.get().starts_with("%PDF-"));
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));

  int controller = -1;
  int terminal = -1;
  char name[256] = {};
  ASSERT_EQ(::openpty(&controller, &terminal, name, nullptr, nullptr), 0);
  struct termios raw {};
  ::tcgetattr(terminal, &raw);
  ::cfmakeraw(&raw);
  ::tcsetattr(terminal, TCSANOW, &raw);
  auto fromTerminal = std::async(std::launch::async, [&] {
    std::string got;
    char buffer[4096];
    for (ssize_t n; !got.ends_with("%%EOF\n") && (n = ::read(controller, buffer, sizeof buffer)) > 0;)
      got.append(buffer, static_cast<std::size_t>(n));
    return got;
  });
  EXPECT_EQ(RunCommand(MIBOLAN_SHEET, {"--pdf", name}, "我").status, 0);
  EXPECT_TRUE(fromTerminal.get().starts_with("%PDF-"));
  EXPECT_TRUE(std::filesystem::is_character_file(name));
  ::close(terminal);
  ::close(controller);
}

TEST(SheetCommand, HelpAndVersionReportAFailedWrite) {
  for (const char* option : {"--help", "--version"}) {
    ChildSetup setup;
    setup.arguments = {option};
    setup.standardOutput = StandardOutput::File;
    setup.outputFile = "/dev/full";
    const ChildResult result = RunChild(MIBOLAN_SHEET, setup);
    EXPECT_EQ(result.exitCode, 1) << option;
    EXPECT_EQ(result.err, "mibolan-sheet: write error: No space left on device\n");
  }
}

TEST(SheetCommand, WritesAPdfFromAFileOrStandardInputWithAByteOrderMark) {
  const std::string out = WriteTempFile("written.pdf", "old");
  const std::string poem = WriteTempFile("poem.txt", "\xef\xbb\xbf床前明月光\n");
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"--pdf", out, poem}, std::vector<std::string>{"--pdf", out, "-"}}) {
    const CommandResult result = RunCommand(MIBOLAN_SHEET, arguments, ReadFile(poem));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(ReadFile(out).starts_with("%PDF-"));
  }
}

TEST(SheetCommand, WrongCommandLinesAreRefusedBeforeAnythingIsWritten) {
  for (const std::vector<std::string>& arguments : {std::vector<std::string>{"--squares=7"},
                                                    {"--squares=17"},
                                                    {"--layout=poster"},
                                                    {"--paper=a3"},
                                                    {"--bogus"},
                                                    {"one.txt", "two.txt"}}) {
    const std::string out = WriteTempFile("refused.pdf", "old");
    std::vector<std::string> withOutput{"--pdf", out};
    withOutput.insert(withOutput.end(), arguments.begin(), arguments.end());
    const CommandResult result = RunCommand(MIBOLAN_SHEET, withOutput, "我");
    EXPECT_GT(result.status, 1) << arguments.front();
    EXPECT_NE(result.err.find("Run with --help"), std::string::npos) << result.err;
    EXPECT_EQ(ReadFile(out), "old");
  }
}

TEST(SheetCommand, TheWindowWithoutADisplaySaysSoInOneLine) {
  const std::vector<std::vector<std::string>> environments = {
      {"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM"},
      // A display that is named but cannot be opened (display numbers this high are never in use).
      {"-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM", "DISPLAY=:7919"}};
  for (std::vector<std::string> arguments : environments) {
    arguments.push_back(MIBOLAN_SHEET);
    const CommandResult result = RunCommand("/usr/bin/env", arguments);
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.err.starts_with("mibolan-sheet: no display found")) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
  }
}

}  // namespace
