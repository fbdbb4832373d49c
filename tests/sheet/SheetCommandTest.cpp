// mibolan-sheet as a script runs it: what it says and leaves behind when the input, the output or
// the command line is wrong, and the window's refusal to start without a display.
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "CommandRunner.h"

namespace {

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
    ::testing::Values(ErrorCase{"missing",
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
                                "mibolan-sheet: /nonexistent/sheet.pdf: No such file or directory\n"}));

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
