// The converter's numbers and html styles and its legacy encodings, through the command.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CommandRunner.h"

namespace mibolan {
namespace {

using testing_support::CommandResult;
using testing_support::Convert;
using testing_support::WriteTempFile;

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

const std::string kRen = "<ruby>人<rp>(</rp><rt>rén</rt><rp>)</rp></ruby>";

TEST(NumbersOption, WritesToneDigits) {
  const CommandResult result = Convert({"--style=numbers", "--keep-lines"}, "我的\n暖和，绿\n");
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "wo3 de5 \nnuan3 huo lü4 \n");
}

TEST(HtmlOption, WritesOneCompletePageForAFile) {
  const std::string file = WriteTempFile("a&b <c>.txt", "人 <&>\n");
  const CommandResult result = Convert({"--style=HTML", file});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out.rfind("<!DOCTYPE html>\n", 0), 0U);
  EXPECT_NE(result.out.find("<title>Mibolan – a&amp;b &lt;c&gt;.txt</title>"), std::string::npos);
  EXPECT_NE(result.out.find("<div class=\"text\">" + kRen + " &lt;&amp;&gt;\n</div>"), std::string::npos);
  EXPECT_EQ(Count(result.out, "<h2>"), 0U);
  EXPECT_EQ(result.out.substr(result.out.size() - 16), "</body>\n</html>\n");
}

TEST(HtmlOption, MakesOnePageWithASectionPerReadableFile) {
  const std::string first = WriteTempFile("first.txt", "银");
  const std::string bad = WriteTempFile("bad.txt", "人\xFF");
  const std::string second = WriteTempFile("second.txt", "行");
  const CommandResult result = Convert({"--style=html", first, "/nonexistent/missing.txt", bad, second});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err,
            "mibolan-convert: /nonexistent/missing.txt: No such file or directory\n"
            "mibolan-convert: " +
                bad + ": invalid UTF-8 at byte offset 3\n");
  EXPECT_EQ(Count(result.out, "<!DOCTYPE html>"), 1U);
  EXPECT_EQ(Count(result.out, "</html>"), 1U);
  // The title names the first file and counts the others, however many there are.
  EXPECT_NE(result.out.find("<title>Mibolan – first.txt and 3 other files</title>"), std::string::npos);
  // The file that went bad keeps what came before the bad byte; the missing one has no section.
  EXPECT_EQ(Count(result.out, "<section>"), 3U);
  EXPECT_EQ(Count(result.out, "</section>"), 3U);
  EXPECT_NE(result.out.find("<h2>" + bad + "</h2>\n<div class=\"text\">" + kRen + "</div>"), std::string::npos);
  // Each file is a text of its own: 行 does not see 银 before it.
  EXPECT_NE(result.out.find("<rt>xíng</rt>"), std::string::npos);
}

TEST(HtmlOption, WritesNothingWhenNoFileCanBeRead) {
  const CommandResult result = Convert({"--style=html", "/nonexistent/missing.txt"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
}

TEST(EncodingOption, ReadsTheEncoding) {
  struct Case {
    std::vector<std::string> arguments;
    std::string input;
    std::string expected;
  };
  const Case cases[] = {
      {{"--encoding=gbk"}, "\xCE\xD2\xB0\xAE\xC8\xCB\n", "wǒ ài rén \n"},
      {{"--encoding", "GBK", "--style=annotated"}, "\xD2\xF8\xD0\xD0", "银(yín)行(háng)\n"},
      {{"--encoding=gb18030"}, "\x84\x31\x95\x33\xC8\xCB\x95\x32\x82\x36", "rén \n"},
      {{"--encoding=utf-8"}, "人", "rén \n"},
  };
  for (const Case& c : cases) {
    const CommandResult result = Convert(c.arguments, c.input);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, c.expected) << c.arguments[0];
  }
}

TEST(EncodingOption, CompletesACharacterThatAReadCutInTwo) {
  // One ASCII byte first puts a two-byte character across the end of the first 64 KiB read.
  std::string gbk = "a";
  for (int i = 0; i < 40000; ++i) gbk += "\xCE\xD2";
  const CommandResult result = Convert({"--encoding=gbk", WriteTempFile("long-gbk.txt", gbk)});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(Count(result.out, "wǒ "), 40000U);
}

TEST(EncodingOption, ReportsInvalidBytesAndGoesOnWithTheRest) {
  const std::string bad = WriteTempFile("bad-gbk.txt", "\xC8\xCB\xCE\x20");
  const std::string truncated = WriteTempFile("truncated.txt", "\xC8\xCB\x95\x32\x82");
  const std::string good = WriteTempFile("good-gbk.txt", "\xD0\xD0");
  CommandResult result = Convert({"--encoding=gbk", bad, good});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "rén \nxíng \n");
  EXPECT_EQ(result.err, "mibolan-convert: " + bad + ": invalid GBK at byte offset 2\n");
  result = Convert({"--encoding=gb18030", truncated});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "mibolan-convert: " + truncated + ": truncated GB18030 sequence at byte offset 2\n");
}

TEST(EncodingOption, RefusesAnUnknownEncoding) {
  const CommandResult result = Convert({"--encoding=big5"}, "人");
  EXPECT_NE(result.status, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_NE(result.err.find("--encoding"), std::string::npos);
}

}  // namespace
}  // namespace mibolan
