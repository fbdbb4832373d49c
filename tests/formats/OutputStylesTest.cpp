// The numbers and html styles of the engine, whole and streamed.
#include <gtest/gtest.h>

#include <string>

#include <mibolan/ConvertText.h>
#include <mibolan/StreamConverter.h>

#include "HtmlText.h"
#include "Utf.h"

namespace mibolan {
namespace {

std::string Convert(std::u16string_view text, Style style) { return ToUtf8(ConvertText(text, style)); }

std::string ConvertInPieces(std::u16string_view text, std::size_t pieceSize, Style style) {
  StreamConverter converter({style});
  std::string out;
  for (std::size_t i = 0; i < text.size(); i += pieceSize) converter.Feed(text.substr(i, pieceSize), out);
  converter.Finish(out);
  return out;
}

struct Case {
  std::u16string input;
  std::string expected;
};

TEST(NumbersStyle, WritesTheNumberedSyllables) {
  const Case cases[] = {
      {u"我爱人", "wo3 ai4 ren2 "},
      {u"我的", "wo3 de5 "},     // the neutral tone keeps its 5
      {u"绿", "lü4 "},           // ü as the dictionary has it
      {u"暖和", "nuan3 huo "},   // a rule's reading without tone digit
      {u"银行", "yin2 hang2 "},  // the context rules apply as in the other styles
      {u"行", "xing2 "},
      {u"a1，。\n", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Convert(c.input, Style::Numbers), c.expected);
}

std::string Ruby(const std::string& character, const std::string& reading) {
  return "<ruby>" + character + "<rp>(</rp><rt>" + reading + "</rt><rp>)</rp></ruby>";
}

TEST(HtmlStyle, KeepsEverythingAndMarksUpTheReadings) {
  const Case cases[] = {
      {u"人", Ruby("人", "rén")},
      {u"银行\r\n行", Ruby("银", "yín") + Ruby("行", "háng") + "\r\n" + Ruby("行", "xíng")},
      {u"  a1，。", "  a1，。"},
      {u"<b>&\"'</b>", "&lt;b&gt;&amp;&quot;&#39;&lt;/b&gt;"},
      {u"😀人", "😀" + Ruby("人", "rén")},
      // What a page cannot hold is replaced, not dropped.
      {std::u16string(u"\xD800人\xDC00") + u'\0', "\uFFFD" + Ruby("人", "rén") + "\uFFFD\uFFFD"},
      {u"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Convert(c.input, Style::Html), c.expected);
}

TEST(HtmlStyle, AnySplitGivesTheWholeTextsOutput) {
  const std::u16string samples[] = {
      u"三百六十行，<重重叠叠>\n😀银行😀",
      u"人😀😀😀人",
      u"\xD800人\U00020000长到&蓝天",
  };
  for (const std::u16string& text : samples) {
    const std::string whole = Convert(text, Style::Html);
    for (std::size_t pieceSize = 1; pieceSize <= text.size(); ++pieceSize) {
      EXPECT_EQ(ConvertInPieces(text, pieceSize, Style::Html), whole) << "piece size " << pieceSize;
    }
  }
}

TEST(HtmlStyle, KeepsEveryLineBreakWhateverTheLineBreakOption) {
  for (LineBreaks lineBreaks : {LineBreaks::Drop, LineBreaks::Keep}) {
    StreamConverter converter({Style::Html, lineBreaks});
    std::string out;
    converter.Feed(u"a\n\r\nb\r", out);
    converter.Finish(out);
    EXPECT_EQ(out, "a\n\r\nb\r");
  }
}

TEST(HtmlText, EscapesWhatHtmlNeedsEscaped) {
  std::string out;
  AppendHtmlText(out, u"<p class=\"x\">Tom & Jerry's</p> 中文");
  EXPECT_EQ(out, "&lt;p class=&quot;x&quot;&gt;Tom &amp; Jerry&#39;s&lt;/p&gt; 中文");
}

// Text from anywhere must not act on the page: no terminal codes, no hidden characters, and no
// bidirectional override that turns the rest of a line around.
TEST(HtmlText, ShowsControlsInsteadOfObeyingThem) {
  const Case cases[] = {
      {u"a\tb\nc\r\n", "a\tb\nc\r\n"},             // tab and line breaks are text
      {u"\x1B[2J\a\b\v\f\x01\x1F", "␛[2J␇␈␋␌␁␟"},  // C0 controls as their pictures
      {u"x\x7F", "x␡"},
      {u"\x80\x85\x9F人", "\uFFFD\uFFFD\uFFFD人"},  // C1 controls
      {u"\u202E银行\u202C", "\uFFFD银行\uFFFD"},    // overrides and embeddings
      {u"\u202A\u202B\u202D", "\uFFFD\uFFFD\uFFFD"},
      {u"\u2066\u2067\u2068a\u2069", "\uFFFD\uFFFD\uFFFDa\uFFFD"},                        // isolates
      {u"\u200E\u200F\u00A0\u2028\u2065\u206A", "\u200E\u200F\u00A0\u2028\u2065\u206A"},  // kept
  };
  for (const Case& c : cases) {
    std::string out;
    AppendHtmlText(out, c.input);
    EXPECT_EQ(out, c.expected);
  }
  EXPECT_EQ(Convert(u"\u202E行\x1B", Style::Html), "\uFFFD" + Ruby("行", "xíng") + "␛");
}

}  // namespace
}  // namespace mibolan
