#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CaseNames.h"
#include "CommandRunner.h"

namespace mibolan {
namespace {

using testing_support::CommandResult;
using testing_support::Convert;
using testing_support::WriteTempFile;

struct OptionCase {
  std::vector<std::string> arguments;
  std::string input;
  std::string expected;
};

void PrintTo(const OptionCase& c, std::ostream* out) {
  for (const std::string& argument : c.arguments) *out << argument << ' ';
  *out << "< " << test::ReadableBytes(c.input);
}

class ConverterOptions : public testing::TestWithParam<OptionCase> {};

TEST_P(ConverterOptions, WriteTheExpectedOutput) {
  const OptionCase& c = GetParam();
  const CommandResult result = Convert(c.arguments, c.input);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, c.expected);
  EXPECT_EQ(result.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConverterOptions,
    testing::Values(
        OptionCase{{}, "我爱人\n", "wǒ ài rén \n"}, OptionCase{{"-"}, "我爱人", "wǒ ài rén \n"},
        OptionCase{{"--style=pinyin"}, "人", "rén \n"},
        OptionCase{{"--style=annotated"}, "我爱人\n", "我(wǒ)爱(ài)人(rén)\n"},
        OptionCase{{"--style", "annotated"}, "银行", "银(yín)行(háng)\n"},
        // The whole input is one text: its lines become one output line.
        OptionCase{{}, "床前明月光，\r\n疑是地上霜。\r\n", "chuáng qián míng yuè guāng yí shì dì shàng shuāng \n"},
        OptionCase{{"--keep-lines"},
                   "床前明月光，\r\n疑是地上霜。\n",
                   "chuáng qián míng yuè guāng \r\nyí shì dì shàng shuāng \n"},
        OptionCase{{"--keep-lines"}, "人\n安", "rén \nān \n"},
        OptionCase{{"--keep-lines", "--style=annotated"}, "我\n成长\n", "我(wǒ)\n成(chéng)长(zhǎng)\n"},
        // A byte-order mark is skipped; an empty text still ends with its line break.
        OptionCase{{}, "\xEF\xBB\xBF人", "rén \n"}, OptionCase{{}, "", "\n"}, OptionCase{{}, "Latin only, 123!", "\n"},
        // Neutral tones belong to the words; the default keeps each character's tone.
        OptionCase{{}, "妈妈的朋友", "mā mā de péng yǒu \n"},
        OptionCase{{"--words"}, "妈妈的朋友", "mā ma de péng you \n"},
        // --textbook: by word, neutral tones, and the tone changes of 一 and 不.
        OptionCase{{"--textbook"}, "我们看看一个东西，不是起来", "wǒ men kàn kan yí gè dōng xi bú shì qǐ lai \n"},
        OptionCase{{"--words"}, "我们看看一个东西，不是起来", "wǒ men kàn kan yī gè dōng xi bù shì qǐ lai \n"},
        OptionCase{{"--textbook", "--style=numbers"}, "妈妈", "ma1 ma5 \n"},
        // Bad bytes read as U+FFFD, which a page keeps; the rest is converted.
        OptionCase{{"--invalid=replace"}, "我爱\xFF人\xE4", "wǒ ài rén \n"},
        OptionCase{{"--invalid=replace", "--words", "--style=annotated"}, "银\xFF行", "银(yín)行(xíng)\n"},
        OptionCase{{"--threads=1"}, "银行", "yín háng \n"}, OptionCase{{"--threads", "0"}, "银行", "yín háng \n"}));

TEST(Converter, ConvertsEachFileAsOneText) {
  const std::string first = WriteTempFile("first.txt", "银");
  const std::string second = WriteTempFile("second.txt", "行");
  // 行 at the start of the second file does not see 银 at the end of the first.
  const CommandResult result = Convert({first, second});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "yín \nxíng \n");
}

TEST(Converter, ReportsBadFilesAndGoesOnWithTheRest) {
  const std::string good = WriteTempFile("good.txt", "人");
  const std::string bad = WriteTempFile("bad.txt", "安\xC0\xAF人");
  const CommandResult result = Convert({"/nonexistent/missing.txt", bad, good});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "ān \nrén \n");
  EXPECT_EQ(result.err,
            "mibolan-convert: /nonexistent/missing.txt: No such file or directory\n"
            "mibolan-convert: " +
                bad + ": invalid UTF-8 at byte offset 3\n");
}

TEST(Converter, ReportsATruncatedCharacterAtTheEnd) {
  const CommandResult result = Convert({}, "人\xE4\xBA");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "mibolan-convert: (standard input): truncated UTF-8 sequence at byte offset 3\n");
}

TEST(Converter, PrintsTheDictionary) {
  const CommandResult result = Convert({"--dictionary"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out.substr(0, 8), "一 yi1\n");
  EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 20577);
}

TEST(Converter, HelpVersionAndUsageErrors) {
  const CommandResult help = Convert({"--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* option : {"--style", "--keep-lines", "--dictionary", "--version", "Examples"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  }
  const CommandResult version = Convert({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_NE(version.out.find("mibolan-convert"), std::string::npos);
  EXPECT_EQ(version.out, "mibolan-convert (Mibolan) " MIBOLAN_VERSION "\n");

  const CommandResult badStyle = Convert({"--style=fancy"});
  EXPECT_NE(badStyle.status, 0);
  EXPECT_NE(badStyle.err.find("--style"), std::string::npos);
  EXPECT_EQ(badStyle.out, "");
  EXPECT_NE(Convert({"--no-such-option"}).status, 0);
}

TEST(Converter, UsageErrorsSayWhoAndWhatAndConvertNothing) {
  const std::string file = WriteTempFile("usage.txt", "人");
  const struct {
    std::vector<std::string> arguments;
    std::string message;  // after "mibolan-convert: "
  } cases[] = {
      {{"--style=fancy"}, "--style: fancy not in {annotated,html,numbers,pinyin}"},
      {{"--no-such-option", file}, "The following argument was not expected: --no-such-option"},
      {{"--dictionary", file}, "--dictionary takes no FILE and no other option"},
      {{"--style=annotated", "--dictionary"}, "--dictionary takes no FILE and no other option"},
      {{"--dictionary", "--keep-lines"}, "--dictionary takes no FILE and no other option"},
      // What the terminal would act on is written as escapes.
      {{"--encoding=\x1B[2J\x9B"}, "--encoding: \\033[2J\\233 not in {gb18030,gbk,utf-8}"},
      {{"--threads=-1"}, "--threads: a number of threads from 0 (automatic) to 1024 is wanted, not \"-1\""},
      {{"--threads=two", file}, "--threads: a number of threads from 0 (automatic) to 1024 is wanted, not \"two\""},
      {{"--invalid=skip"}, "--invalid: skip not in {replace,stop}"},
      {{"--invalid=replace", "--encoding=gbk"}, "--invalid=replace reads UTF-8 only: it cannot go with --encoding=gbk"},
  };
  for (const auto& each : cases) {
    const CommandResult result = Convert(each.arguments);
    EXPECT_GT(result.status, 1) << each.message;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "mibolan-convert: " + each.message + "\nRun with --help for more information.\n");
  }
}

TEST(Converter, ReadsTheUserWordsOrNothing) {
  const std::string words = WriteTempFile("names.txt", "# names\n查良镛 zhā liáng yōng\n");
  // The user's words read by word, with or without --words.
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"--words", "--user-words", words}, std::vector<std::string>{"--user-words", words}}) {
    const CommandResult result = Convert(arguments, "查良镛的小说");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "zhā liáng yōng de xiǎo shuō \n");
  }
  const std::string bad = WriteTempFile("bad-names.txt", "查良镛 zhā liáng yōng\n金庸 jīn\n");
  const struct {
    std::string file;
    std::string message;
  } cases[] = {
      {bad, bad + ":2: the reading has 1 syllable for the 2 characters of 金庸"},
      {"/nonexistent/names.txt", "/nonexistent/names.txt: No such file or directory"},
  };
  for (const auto& each : cases) {
    const CommandResult result = Convert({"--user-words", each.file}, "查良镛");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "mibolan-convert: " + each.message + "\n");
  }
}

}  // namespace
}  // namespace mibolan
