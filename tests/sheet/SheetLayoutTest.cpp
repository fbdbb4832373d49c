// How a text is cut into squares and laid out in rows and pages, shown row by row as the squares'
// contents: "_" is an empty square, a title row starts with "T", and "|" ends a page.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SheetContent.h"
#include "SheetLayout.h"
#include "SheetOutput.h"

namespace mibolan::sheet {
namespace {

std::vector<std::string> Rows(const std::u16string& text, SheetOptions options = {}, int rowsPerPage = 100) {
  options.squaresPerRow = 8;
  const SheetContent content = ReadSheetText(QString::fromStdU16String(text), options.conversion);
  std::vector<std::string> shown;
  for (const Page& page : LayOutSheet(content, options, rowsPerPage)) {
    for (const Row& row : page.rows) {
      std::vector<std::string> squares(static_cast<std::size_t>(options.squaresPerRow), "_");
      for (const Slot& slot : row.placed) {
        const Cell& cell = content.cells[slot.cell];
        std::string square = content.TextOf(cell).toStdString();
        if (const CharacterReading* reading = content.ReadingOf(cell)) square += "(" + reading->numbered + ")";
        squares[slot.column] = slot.trace ? "~" + square : square;
      }
      std::string line;
      if (row.kind == Row::Kind::Title) line.append("T").append(std::to_string(row.shift), 0, 3);
      for (const std::string& square : squares) line.append(line.empty() ? "" : " ").append(square);
      // Trailing empty squares say nothing.
      while (line.ends_with(" _")) line.resize(line.size() - 2);
      if (line == "_") line.clear();
      shown.push_back(line);
    }
    shown.push_back("|");
  }
  return shown;
}

using Lines = std::vector<std::string>;

struct LayoutCase {
  const char* name;
  std::u16string text;
  Lines rows;
};

void PrintTo(const LayoutCase& layoutCase, std::ostream* out) { *out << layoutCase.name; }

class ReadingSheet : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(ReadingSheet, RowsAsExpected) { EXPECT_EQ(Rows(GetParam().text), GetParam().rows) << GetParam().name; }

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadingSheet,
    ::testing::Values(
        LayoutCase{"a paragraph is indented by two squares and wraps at the row's end",
                   u"一二三四五六七八",
                   {"_ _ 一(yi1) 二(er4) 三(san1) 四(si4) 五(wu3) 六(liu4)", "七(qi1) 八(ba1)", "|"}},
        LayoutCase{"every line starts a new row; blanks at the line's ends and blank lines at the text's "
                   "ends are dropped, blank lines between paragraphs make one empty row",
                   u"\n\n　　一\r\n二  \n\n\n \n三\n\n",
                   {"_ _ 一(yi1)", "_ _ 二(er4)", "", "_ _ 三(san1)", "|"}},
        LayoutCase{"a closing mark does not begin a row: the character before it comes along",
                   u"一二三四五六。七",
                   {"_ _ 一(yi1) 二(er4) 三(san1) 四(si4) 五(wu3)", "六(liu4) 。 七(qi1)", "|"}},
        LayoutCase{"nor do closing marks that follow each other",
                   u"一二三四五。”七",
                   {"_ _ 一(yi1) 二(er4) 三(san1) 四(si4)", "五(wu3) 。 ” 七(qi1)", "|"}},
        LayoutCase{"an opening mark does not end a row",
                   u"一二三四五“六”",
                   {"_ _ 一(yi1) 二(er4) 三(san1) 四(si4) 五(wu3)", "“ 六(liu4) ”", "|"}},
        LayoutCase{"a row of closing marks only is wrapped where it is full",
                   u"，，，，，，，",
                   {"_ _ ， ， ， ， ， ，", "，", "|"}},
        LayoutCase{"narrow letters and digits go two to a square; a run of blanks is one empty square, "
                   "none at a row's start",
                   u"ab  cde 2024年 xyz",
                   {"_ _ ab _ cd e _ 20", "24 年(nian2) _ xy z", "|"}},
        LayoutCase{"marks, full-width letters and characters without a reading each take a square; "
                   "invisible format characters none; a combining mark stays with its letter",
                   u"《人》Ａ\u200b㐀e\u0301",
                   {"_ _ 《 人(ren2) 》 Ａ 㐀(qiu1) e\u0301", "|"}},
        LayoutCase{
            "a character beyond the BMP is one square, with its reading", u"𠀀人", {"_ _ 𠀀(he1) 人(ren2)", "|"}},
        LayoutCase{"full-width marks are marks: the colon does not begin a row",
                   u"一二三四五说：“你好！”",
                   {"_ _ 一(yi1) 二(er4) 三(san1) 四(si4) 五(wu3)", "说(shuo1) ： “ 你(ni3) 好(hao3) ！ ”", "|"}},
        LayoutCase{"an empty text is one empty page", u"", {"|"}}));

TEST(Title, FirstLineCentredWithoutIndentThenTheText) {
  SheetOptions options;
  options.title = true;
  EXPECT_EQ(Rows(u"\n 静夜思 \n床前\n", options),
            (Lines{"T2.5 静(jing4) 夜(ye4) 思(si1)", "_ _ 床(chuang2) 前(qian2)", "|"}));
  // A title longer than a row takes as many rows as it needs, each centred.
  EXPECT_EQ(
      Rows(u"一二三四五六七八九十", options),
      (Lines{"T0.0 一(yi1) 二(er4) 三(san1) 四(si4) 五(wu3) 六(liu4) 七(qi1) 八(ba1)", "T3.0 九(jiu3) 十(shi2)", "|"}));
}

// The name of the PDF and of the print job is the line that the title row shows, wherever the text
// breaks its lines.
TEST(Title, TheSheetIsNamedAfterTheTitleRowsLine) {
  const struct {
    std::u16string text;
    std::u16string name;
  } cases[] = {
      {u"\n 静夜思 \n床前", u"静夜思"}, {u"静夜思\r床前", u"静夜思"}, {u"\r\n\t\r\n标题\r\n正文", u"标题"},
      {u"标题\u2028正文", u"标题"},     {u"　　标题\n正文", u"标题"}, {u" \n\r", u"拼音练习纸"},
  };
  for (const auto& each : cases) {
    const SheetContent content = ReadSheetText(QString::fromStdU16String(each.text), {});
    EXPECT_EQ(SheetTitle(content).toStdU16String(), each.name) << QString::fromStdU16String(each.text).toStdString();
  }
}

TEST(Practice, EachCharacterOnceWithEachReadingThenTwoCopiesToTrace) {
  SheetOptions options;
  options.layout = SheetLayout::Practice;
  EXPECT_EQ(Rows(u"行走，银行。走！", options),
            (Lines{"行(xing2) ~行(xing2) ~行(xing2)", "走(zou3) ~走(zou3) ~走(zou3)", "银(yin2) ~银(yin2) ~银(yin2)",
                   "行(hang2) ~行(hang2) ~行(hang2)", "|"}));
  options.title = true;
  EXPECT_EQ(Rows(u"我\n我爱", options),
            (Lines{"T3.5 我(wo3)", "我(wo3) ~我(wo3) ~我(wo3)", "爱(ai4) ~爱(ai4) ~爱(ai4)", "|"}));
}

TEST(Pages, FillUpInTurnWithoutEmptyRowsAtTheTop) {
  SheetOptions options;
  EXPECT_EQ(Rows(u"一\n二\n\n三\n四\n\n五", options, 2),
            (Lines{"_ _ 一(yi1)", "_ _ 二(er4)", "|", "_ _ 三(san1)", "_ _ 四(si4)", "|", "_ _ 五(wu3)", "|"}));
}

}  // namespace
}  // namespace mibolan::sheet
