// How a text is cut into squares and laid out in rows and pages, shown row by row as the squares'
// contents: "_" is an empty square, "~" marks a copy to trace and "/3" a character drawn with its
// first three strokes; a title row starts with "T" and its shift, a centred row with "C" and its
// shift, a row whose squares stand apart with "P" and their pitch, a mark hung after a row's last
// square follows it with "+", the name and date line is "姓名 日期", and "|" ends a page.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "PracticeRows.h"
#include "SheetContent.h"
#include "SheetLayout.h"
#include "SheetOutput.h"
#include "TextPieces.h"

namespace mibolan::sheet {
namespace {

std::vector<std::string> Shown(const std::vector<Page>& pages, int columns) {
  std::vector<std::string> shown;
  for (const Page& page : pages) {
    for (const Row& row : page.rows) {
      const std::size_t room = row.squares > 0 ? row.squares : static_cast<std::size_t>(columns / row.pitch + 1e-9);
      std::vector<std::string> squares(room, "_");
      for (const Slot& slot : row.placed) {
        std::string square = slot.square.text.toStdString();
        if (slot.square.reading) square += "(" + slot.square.reading->numbered + ")";
        if (slot.strokes > 0) square.append("/").append(std::to_string(slot.strokes));
        if (slot.column >= room) square = "+" + square;
        squares.resize(std::max<std::size_t>(squares.size(), slot.column + 1u), "_");
        squares[slot.column] = slot.trace ? "~" + square : square;
      }
      std::string line;
      if (row.kind == Row::Kind::Title) line.append("T").append(std::to_string(row.shift), 0, 3);
      if (row.kind == Row::Kind::NameAndDate) {
        shown.push_back("姓名 日期");
        continue;
      }
      if (row.kind == Row::Kind::Grid && row.squares > 0) line.append("C").append(std::to_string(row.shift), 0, 3);
      if (row.pitch > 1) line.append(line.empty() ? "" : " ").append("P").append(std::to_string(row.pitch), 0, 4);
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

// Readings about as wide as on paper: chuáng 1.08 squares, wǒ 0.36.
double ByLetters(const QString& reading) { return 0.18 * static_cast<double>(reading.size()); }

std::vector<std::string> Rows(const std::u16string& text, SheetOptions options = {}, int rowsPerPage = 100,
                              ReadingWidth width = {}) {
  options.squaresPerRow = 8;
  const SheetContent content = ReadSheetText(QString::fromStdU16String(text), ReadingOptions(options));
  return Shown(LayOutSheet(content, options, rowsPerPage, std::move(width)), options.squaresPerRow);
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
        LayoutCase{"a closing mark that finds the row full hangs after its last square",
                   u"一二三四五六。七",
                   {"_ _ 一(yi1) 二(er4) 三(san1) 四(si4) 五(wu3) 六(liu4) +。", "七(qi1)", "|"}},
        LayoutCase{"a second closing mark after a hung one: the character before them comes along",
                   u"一二三四五六）。七",
                   {"_ _ 一(yi1) 二(er4) 三(san1) 四(si4) 五(wu3)", "六(liu4) ） 。 七(qi1)", "|"}},
        LayoutCase{
            "a second closing mark after a hung one, where the word that would come along with them "
            "fills a row: the second mark begins the next row",
            u"一二三四五六七abcdefghijklm!——",
            {"_ _ 一(yi1) 二(er4) 三(san1) 四(si4) 五(wu3) 六(liu4)", "七(qi1)", "ab cd ef gh ij kl m ! +—", "—", "|"}},
        LayoutCase{"a full stop and a closing quote share a square, which does not hang: the character before "
                   "it comes along",
                   u"一二三四五六。”七",
                   {"_ _ 一(yi1) 二(er4) 三(san1) 四(si4) 五(wu3)", "六(liu4) 。” 七(qi1)", "|"}},
        LayoutCase{"an opening mark does not end a row",
                   u"一二三四五“六”",
                   {"_ _ 一(yi1) 二(er4) 三(san1) 四(si4) 五(wu3)", "“ 六(liu4) ”", "|"}},
        LayoutCase{"an opening mark that ends its line, blanks after it, stays at the row's end",
                   u"一二三四五“  \n六",
                   {"_ _ 一(yi1) 二(er4) 三(san1) 四(si4) 五(wu3) “", "_ _ 六(liu4)", "|"}},
        LayoutCase{"a row of closing marks only: one hangs, the next begins a row",
                   u"，，，，，，，，",
                   {"_ _ ， ， ， ， ， ， +，", "，", "|"}},
        LayoutCase{"narrow letters and digits go two to a square, a number is not split; a run of blanks is "
                   "one empty square, none at a row's start",
                   u"ab  cde 2024年 xyz",
                   {"_ _ ab _ cd e", "20 24 年(nian2) _ xy z", "|"}},
        LayoutCase{"a point inside a number counts for nothing; a word longer than a row is split where the row "
                   "is full",
                   u"3.5 12.25 1.a CO2\nabcdefghijklmnopqrstu",
                   {"_ _ 3.5 _ 12. 25 _ 1 +.", "a _ CO 2", "_ _ ab cd ef gh ij kl", "mn op qr st u", "|"}},
        LayoutCase{"marks, full-width letters and characters without a reading each take a square; "
                   "invisible format characters none; a combining mark stays with its letter",
                   u"《人》Ａ\u200b㐀e\u0301",
                   {"_ _ 《 人(ren2) 》 Ａ 㐀(qiu1) e\u0301", "|"}},
        LayoutCase{
            "a character beyond the BMP is one square, with its reading", u"𠀀人", {"_ _ 𠀀(he1) 人(ren2)", "|"}},
        LayoutCase{"full-width marks are marks: the colon does not begin a row",
                   u"一二三四五说：“你好！”",
                   {"_ _ 一(yi1) 二(er4) 三(san1) 四(si4) 五(wu3)", "说(shuo1) ：“ 你(ni3) 好(hao3) ！”", "|"}},
        LayoutCase{"a reading in parentheses right after its character, one of the character's readings, "
                   "corrects it and is not printed; other parentheses stay text, a word in them kept whole",
                   u"长(zhǎng)长（chang2）苹果(apple)行(a)长(xing2)",
                   {"_ _ 长(zhang3) 长(chang2) 苹(ping2) 果(guo3)", "( ap pl e ) 行(xing2) ( a +)",
                    "长(chang2) ( xi ng 2 )", "|"}},
        LayoutCase{"an empty text is one empty page", u"", {"|"}}));

TEST(ReadingRoom, SquaresStandApartWhenTheirReadingsNeedRoom) {
  // chuáng needs 1.16 squares with its staff's margins: six places to the row, the indent two of
  // them; a row of short readings keeps its squares side by side.
  EXPECT_EQ(
      Rows(u"床前明月光\n我爱你", {}, 100, ByLetters),
      (Lines{"P1.16 _ _ 床(chuang2) 前(qian2) 明(ming2) 月(yue4)", "光(guang1)", "_ _ 我(wo3) 爱(ai4) 你(ni3)", "|"}));
  // Two long readings side by side need a quarter of a square between them: shàng shuāng, 0.99
  // squares between their middles, need 1.24.
  EXPECT_EQ(Rows(u"上霜", {}, 100, ByLetters), (Lines{"P1.24 _ _ 上(shang4) 霜(shuang1)", "|"}));
}

// Poems, row lengths, readings as wide as on paper or not, texts full of marks and numbers: no
// row begins with a closing mark (unless it holds nothing else) nor ends with an opening one
// before the line goes on, and readings side by side keep their distance.
TEST(LineBreaking, NoRowBeginsWithAClosingMarkWhateverTheRowLength) {
  const std::u16string texts[] = {
      u"他说：“你好！”我说：“你好。”她问：“你去哪儿？”“我去学校。”大家都笑了，笑得很开心。",
      u"床前明月光，疑是地上霜。举头望明月，低头思故乡。",
      u"水的沸点是100度；冰的熔点是0度。这本书长3.5厘米，A4纸，CO2……《小学语文》（一年级）说：“学而时习之。”",
      u"一二三四五六七……八九十。”（一）《二》「三」『四』‘五’！？一二三四五六，七八九十，一二三四五六七八，",
  };
  for (const std::u16string& text : texts) {
    for (const int columns : {8, 10, 14}) {
      for (const SheetLayout layout : {SheetLayout::Reading, SheetLayout::Poem}) {
        for (const bool measured : {false, true}) {
          SheetOptions options;
          options.squaresPerRow = columns;
          options.layout = layout;
          const SheetContent content = ReadSheetText(QString::fromStdU16String(text), options.conversion);
          const std::vector<Page> pages =
              LayOutSheet(content, options, 100, measured ? ReadingWidth(ByLetters) : ReadingWidth());
          const std::string where = QString::fromStdU16String(text).left(6).toStdString() + " at " +
                                    std::to_string(columns) + (measured ? ", measured" : "") +
                                    (layout == SheetLayout::Poem ? ", poem" : "");
          for (const Page& page : pages) {
            for (const Row& row : page.rows) {
              if (row.placed.empty() || row.kind == Row::Kind::Title) continue;
              const auto closing = [](const Slot& slot) {
                return slot.square.kind == CellKind::Mark &&
                       std::u16string_view(u"，。、；：？！”’）》」』…").find(slot.square.text[0].unicode()) !=
                           std::u16string_view::npos;
              };
              const bool onlyMarks = std::all_of(row.placed.begin(), row.placed.end(), closing);
              EXPECT_TRUE(onlyMarks || !closing(row.placed.front()))
                  << where << ": a row begins with " << row.placed.front().square.text.toStdString();
              for (std::size_t i = 0; i + 1 < row.placed.size(); ++i) {
                const Square& left = row.placed[i].square;
                const Square& right = row.placed[i + 1].square;
                EXPECT_LE(left.width, row.pitch - 2 * SheetLayouter::kStaffRoom + 1e-9) << where;
                if (left.width > 0 && right.width > 0 && row.placed[i + 1].column == row.placed[i].column + 1) {
                  EXPECT_GE(row.pitch - (left.width + right.width) / 2, SheetLayouter::kSyllableGap - 1e-9) << where;
                }
              }
            }
          }
        }
      }
    }
  }
}

TEST(Poem, TitleThenEachLineCentredOnItsOwnRows) {
  SheetOptions options;
  options.layout = SheetLayout::Poem;
  EXPECT_EQ(
      Rows(u"静夜思\n李白\n\n床前明月光，\n疑是地上霜。\n一二三四五六七八九十", options),
      (Lines{"T2.5 静(jing4) 夜(ye4) 思(si1)", "C3.0 李(li3) 白(bai2)", "",
             "C1.0 床(chuang2) 前(qian2) 明(ming2) 月(yue4) 光(guang1) ，",
             "C1.0 疑(yi2) 是(shi4) 地(di4) 上(shang4) 霜(shuang1) 。",
             "C0.0 一(yi1) 二(er4) 三(san1) 四(si4) 五(wu3) 六(liu4) 七(qi1) 八(ba1)", "C3.0 九(jiu3) 十(shi2)", "|"}));
  // Readings that need room: the squares stand apart and the row is centred all the same.
  EXPECT_EQ(Rows(u"题\n床前", options, 100, ByLetters),
            (Lines{"T3.5 题(ti2)", "C2.8 P1.16 床(chuang2) 前(qian2)", "|"}));
}

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
    EXPECT_EQ(SheetTitle(FirstLine(content)).toStdU16String(), each.name)
        << QString::fromStdU16String(each.text).toStdString();
  }
}

TEST(Practice, EachCharacterOnceWithItsDictionaryReadingStrokeOrderAndTracing) {
  SheetOptions options;
  options.layout = SheetLayout::Practice;
  // 一 and 不 as the dictionary reads them, whatever follows them; 行 once, as it first reads.
  EXPECT_EQ(Rows(u"一个，行不是。银行", options),
            (Lines{"姓名 日期", "一(yi1) 一/1", "~一(yi1) ~一(yi1) ~一(yi1)", "个(ge4) 个/1 个/2 个/3",
                   "~个(ge4) ~个(ge4) ~个(ge4)", "行(xing2) 行/1 行/2 行/3 行/4 行/5 行/6",
                   "~行(xing2) ~行(xing2) ~行(xing2)", "不(bu4) 不/1 不/2 不/3 不/4", "~不(bu4) ~不(bu4) ~不(bu4)",
                   "是(shi4) 是/1 是/2 是/3 是/4 是/5 是/6 是/7", "是/8 是/9", "~是(shi4) ~是(shi4) ~是(shi4)",
                   "银(yin2) 银/1 银/2 银/3 银/4 银/5 银/6 银/7", "银/8 银/9 银/10 银/11",
                   "~银(yin2) ~银(yin2) ~银(yin2)", "|"}));
}

TEST(Practice, TheChosenCharactersInTheirOrderWithoutStrokesTheTracingRowOnly) {
  SheetOptions options;
  options.layout = SheetLayout::Practice;
  // 长 as the text reads it; 乐 not in the text, read on its own; 龘 and 㑇 without stroke data.
  options.characters = U"人长龘乐㑇";
  EXPECT_EQ(
      Rows(u"校长是人。", options),
      (Lines{"姓名 日期", "人(ren2) 人/1 人/2", "~人(ren2) ~人(ren2) ~人(ren2)", "长(zhang3) 长/1 长/2 长/3 长/4",
             "~长(zhang3) ~长(zhang3) ~长(zhang3)", "龘(da2) ~龘(da2) ~龘(da2)", "乐(le4) 乐/1 乐/2 乐/3 乐/4 乐/5",
             "~乐(le4) ~乐(le4) ~乐(le4)", "㑇(zhou4) ~㑇(zhou4) ~㑇(zhou4)", "|"}));
}

TEST(Practice, ACharactersRowsStayOnOnePageUnderTheNameLine) {
  SheetOptions options;
  options.layout = SheetLayout::Practice;
  EXPECT_EQ(Rows(u"人是", options, 4),
            (Lines{"姓名 日期", "人(ren2) 人/1 人/2", "~人(ren2) ~人(ren2) ~人(ren2)", "|", "姓名 日期",
                   "是(shi4) 是/1 是/2 是/3 是/4 是/5 是/6 是/7", "是/8 是/9", "~是(shi4) ~是(shi4) ~是(shi4)", "|"}));
}

TEST(Practice, ChosenCharactersAreTheChineseOnesEachOnce) {
  const struct {
    std::u16string typed;
    std::u32string characters;
    char32_t stray;
  } cases[] = {
      {u"人口手", U"人口手", 0}, {u" 人，口、人\t手。", U"人口手", 0}, {u"，。 ", U"", 0}, {u"人a口1", U"人口", U'a'},
      {u"𠀀人", U"𠀀人", 0},
  };
  for (const auto& each : cases) {
    const ChosenCharacters chosen = ChooseCharacters(QString::fromStdU16String(each.typed));
    EXPECT_EQ(chosen.characters, each.characters) << QString::fromStdU16String(each.typed).toStdString();
    EXPECT_EQ(chosen.stray.value_or(0), each.stray) << QString::fromStdU16String(each.typed).toStdString();
  }
}

TEST(Pages, FillUpInTurnWithoutEmptyRowsAtTheTop) {
  SheetOptions options;
  EXPECT_EQ(Rows(u"一\n二\n\n三\n四\n\n五", options, 2),
            (Lines{"_ _ 一(yi1)", "_ _ 二(er4)", "|", "_ _ 三(san1)", "_ _ 四(si4)", "|", "_ _ 五(wu3)", "|"}));
}

// The pieces of `text` as PieceCutter cuts them, pieces of at most `longest` units.
std::vector<QString> Pieces(const QString& text, qsizetype longest) {
  std::vector<QString> pieces;
  StringText(text, longest).Walk([&](QString piece) {
    pieces.push_back(std::move(piece));
    return true;
  });
  return pieces;
}

// The rows of `text` laid out piece by piece, as a PDF is made.
std::vector<std::string> RowsInPieces(const QString& text, const SheetOptions& options, qsizetype longest,
                                      int rowsPerPage) {
  std::vector<Page> pages;
  SheetLayouter layouter(options, rowsPerPage, [&](Page&& page) { pages.push_back(std::move(page)); });
  for (QString& piece : Pieces(text, longest)) layouter.Add(ReadSheetText(std::move(piece), ReadingOptions(options)));
  layouter.Finish();
  return Shown(pages, options.squaresPerRow);
}

QString Repeated(const QString& part, int times) {
  QString text;
  for (int i = 0; i < times; ++i) text += part;
  return text;
}

// Pieces that end at line feeds, and a long line cut where no reading looks across: the pages are
// those of the whole text, in every layout, however short the pieces.
TEST(Pieces, JoinedGiveThePagesOfTheWholeText) {
  const QString lines = QStringLiteral(
      "　静夜思　\n\n床前明月光(guang1)，疑是地上霜。举头望明月，低头思故乡。\r\n\n\n  一个校长不是银行行长 \n"
      "“你好！”他说（一二三四五）《六七》a bc 2024年\u200b\n\n\n\n  \n𠀀人e\u0301，，，，，，，，\n行走，银行。");
  // One line: quiet stretches of blanks and dashes between sentences, and commas where a cut would
  // change a reading (重 in 重，天 reads chóng, before a comma that ends the text zhòng).
  const QString longLine = Repeated(QStringLiteral("重，天还，是不要看一看。 -------- -------- "), 40);
  for (const QString& text : {lines, longLine, lines + longLine + lines}) {
    for (const SheetLayout layout : {SheetLayout::Reading, SheetLayout::Practice}) {
      for (const bool title : {false, true}) {
        SheetOptions options;
        options.layout = layout;
        options.title = title;
        options.squaresPerRow = 8;
        const std::vector<std::string> whole =
            Shown(LayOutSheet(ReadSheetText(text, ReadingOptions(options)), options, 5), options.squaresPerRow);
        for (const qsizetype longest : {64, 100, 200}) {
          EXPECT_EQ(RowsInPieces(text, options, longest, 5), whole)
              << text.left(20).toStdString() << " in pieces of " << longest << ", layout " << static_cast<int>(layout)
              << ", title " << title;
        }
      }
    }
  }
}

// A line with no place where a cut changes nothing is still cut into pieces of bounded length,
// nothing lost, no character split: Chinese without punctuation, NULs (which make no squares),
// characters beyond the BMP, one letter with a thousand combining marks.
TEST(Pieces, ALongLineIsCutIntoBoundedPiecesWithNothingLost) {
  const QString cases[] = {Repeated(QStringLiteral("我们一起去银行"), 300), QString(3000, QChar(0)),
                           Repeated(QStringLiteral("𠀀a"), 1000), QStringLiteral("e") + QString(1000, QChar(0x301)),
                           Repeated(QStringLiteral("我。"), 1000)};
  for (const QString& text : cases) {
    const std::vector<QString> pieces = Pieces(text, 64);
    QString joined;
    for (const QString& piece : pieces) {
      EXPECT_LE(piece.size(), 64);
      EXPECT_FALSE(piece.back().isHighSurrogate()) << text.left(8).toStdString();
      joined += piece;
    }
    EXPECT_EQ(joined, text) << text.left(8).toStdString();
    EXPECT_GE(pieces.size(), static_cast<std::size_t>(text.size() / 64)) << text.left(8).toStdString();
  }
  // A character with its punctuation is cut after the mark: the squares are those of the whole.
  SheetOptions options;
  options.squaresPerRow = 8;
  const QString marked = Repeated(QStringLiteral("我。"), 1000);
  EXPECT_EQ(RowsInPieces(marked, options, 64, 100),
            Shown(LayOutSheet(ReadSheetText(marked, options.conversion), options, 100), 8));
}

// What a sheet's PDF is called: its title line only when it prints one, else its file's name,
// else the program's name for the sheet; at most 200 characters, no control characters.
TEST(DocumentTitle, TitleLineElseFileNameElseTheSheetsName) {
  const QString kSheet = QStringLiteral("拼音练习纸");
  const QString longLine = QString(150, QChar(u'字')) + Repeated(QStringLiteral("𠀀"), 100);
  const struct {
    bool title;
    QString firstLine;
    QString fileName;
    QString expected;
  } cases[] = {
      {true, QStringLiteral("静夜思"), QStringLiteral("poem.txt"), QStringLiteral("静夜思")},
      {false, QStringLiteral("静夜思"), QStringLiteral("poem.txt"), QStringLiteral("poem.txt")},
      {false, QStringLiteral("静夜思"), {}, kSheet},
      {true, {}, QStringLiteral("poem.txt"), QStringLiteral("poem.txt")},
      {true, QStringLiteral("\x1b]0;x\x07\u202e"), {}, QStringLiteral("]0;x")},
      {false, {}, QStringLiteral("a\x1b[31m\nb\u2028.txt"), QStringLiteral("a[31mb.txt")},
      {false, {}, QStringLiteral("\x01\x02"), kSheet},
      {true, longLine, {}, longLine.first(150 + 2 * 50)},
  };
  for (const auto& each : cases) {
    SheetPlan plan;
    plan.firstLine = each.firstLine;
    SheetOptions options;
    options.title = each.title;
    EXPECT_EQ(DocumentTitle(options, plan, each.fileName), each.expected) << each.firstLine.toStdString();
  }
}

}  // namespace
}  // namespace mibolan::sheet
