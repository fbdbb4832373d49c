// The sheet as a reader gets it: mibolan-sheet writes a PDF, poppler turns its pages into pictures
// and text, and the checks look at those only. From the pixels: every row of squares has its row of
// staffs, each staff as wide as its square and right above it; every reading stands on its staff
// above its character; nothing reaches the paper's edge; the number of pages follows the text. From
// the text layer: the readings and the characters in reading order.
#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "CommandRunner.h"

namespace {

using mibolan::testing_support::CommandResult;
using mibolan::testing_support::RunCommand;
using mibolan::testing_support::TempPath;
namespace fs = std::filesystem;

constexpr int kDpi = 150;
constexpr double kPixelsPerMm = kDpi / 25.4;

// Writes the sheet of `text`; the PDF's path.
fs::path MakeSheet(const std::string& name, const std::string& text, std::vector<std::string> options) {
  const fs::path pdf = TempPath(name + ".pdf");
  options.insert(options.begin(), {"--pdf", pdf.string()});
  const CommandResult made = RunCommand(MIBOLAN_SHEET, options, text);
  EXPECT_EQ(made.status, 0) << made.err;
  EXPECT_EQ(made.err, "");
  return pdf;
}

std::vector<QImage> Pages(const fs::path& pdf, int dpi = kDpi) {
  const fs::path prefix = pdf.parent_path() / pdf.stem();
  const CommandResult drawn = RunCommand(PDFTOPPM, {"-r", std::to_string(dpi), "-png", pdf.string(), prefix.string()});
  EXPECT_EQ(drawn.status, 0) << drawn.err;
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(pdf.parent_path())) {
    const std::string file = entry.path().filename().string();
    if (file.starts_with(prefix.filename().string() + "-") && file.ends_with(".png")) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());  // pdftoppm pads the page numbers to one width
  std::vector<QImage> pages;
  for (const fs::path& file : files) pages.emplace_back(QString::fromStdString(file.string()));
  return pages;
}

// The lines are green, the readings and characters black, the copies to trace light grey. A thin
// line between two rows of pixels is only a tint in each.
bool IsLine(QRgb p) { return qGreen(p) > qRed(p) + 12 && qGreen(p) > qBlue(p) + 6; }
bool IsInk(QRgb p) { return std::max({qRed(p), qGreen(p), qBlue(p)}) < 110 && !IsLine(p); }
bool IsMarked(QRgb p) { return std::min({qRed(p), qGreen(p), qBlue(p)}) < 235; }

struct Box {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
  bool Empty() const { return right < 0; }
  void Add(int x, int y) {
    left = std::min(left, x), top = std::min(top, y), right = std::max(right, x), bottom = std::max(bottom, y);
  }
  double CentreX() const { return (left + right) / 2.0; }
  double CentreY() const { return (top + bottom) / 2.0; }
};

Box InkIn(const QImage& page, int left, int top, int right, int bottom) {
  Box box;
  for (int y = std::max(0, top); y <= std::min(bottom, page.height() - 1); ++y) {
    for (int x = std::max(0, left); x <= std::min(right, page.width() - 1); ++x) {
      if (IsInk(page.pixel(x, y))) box.Add(x, y);
    }
  }
  return box;
}

// A line across (or down) a rectangle of the page: its middle, and over how much of the rectangle
// it runs, dashes counting only where they are drawn.
struct Line {
  int middle = 0;
  int length = 0;
  int runs = 0;  // stretches of it without a gap: many for a dashed line
};

std::vector<Line> Lines(const QImage& page, QRect area, bool across) {
  const int span = across ? area.width() : area.height();
  const int depth = across ? area.height() : area.width();
  const auto pixel = [&](int along, int at) {
    return across ? page.pixel(area.left() + along, area.top() + at) : page.pixel(area.left() + at, area.top() + along);
  };
  std::vector<Line> lines;
  std::vector<bool> covered;
  int first = -1;
  for (int at = 0; at <= depth; ++at) {
    // Where ink lies on a line it hides the line: it counts as covered, but only lines find lines.
    int count = 0;
    std::vector<bool> here(static_cast<std::size_t>(span), false);
    for (int along = 0; at < depth && along < span; ++along) {
      const QRgb p = pixel(along, at);
      count += IsLine(p) ? 1 : 0;
      here[static_cast<std::size_t>(along)] = IsLine(p) || IsInk(p);
    }
    if (count * 10 >= span * 3) {  // a row of pixels that a line runs along
      if (first < 0) first = at, covered.assign(static_cast<std::size_t>(span), false);
      for (std::size_t i = 0; i < here.size(); ++i) covered[i] = covered[i] || here[i];
    } else if (first >= 0) {
      const int length = static_cast<int>(std::count(covered.begin(), covered.end(), true));
      int runs = 0;
      for (std::size_t i = 0; i < covered.size(); ++i) runs += covered[i] && (i == 0 || !covered[i - 1]) ? 1 : 0;
      lines.push_back(Line{(across ? area.top() : area.left()) + (first + at - 1) / 2, length, runs});
      first = -1;
    }
  }
  return lines;
}

// The middles of the lines that run over at least `share` of the longest one, or over half of it
// in no more pieces than a row has squares (the outlines of squares that stand apart).
std::vector<int> Solid(const std::vector<Line>& lines, double share) {
  int longest = 0;
  for (const Line& line : lines) longest = std::max(longest, line.length);
  std::vector<int> middles;
  for (const Line& line : lines) {
    if (line.length >= longest * share || (line.runs <= 17 && line.length >= longest / 2)) {
      middles.push_back(line.middle);
    }
  }
  return middles;
}

// One row of squares with its row of staffs, as found in the pixels.
struct GridRow {
  std::vector<int> staffLines;  // the four, from the top
  int squareTop = 0, squareBottom = 0;
  std::vector<int> edges;                    // the squares' upright edges
  std::vector<int> staffEdges;               // the staffs' uprights
  std::vector<std::pair<int, int>> squares;  // left and right edge of each square
  std::vector<std::pair<int, int>> staffs;   // left and right upright of the staff over each square, if found
  std::vector<Box> readings;                 // ink over each square's staff, between the row above and the square
  std::vector<Box> characters;               // ink inside each square
};

// The squares among a row's uprights: two that stand a square's side apart; squares that stand
// apart have a gap between them, wider or narrower than a square.
std::vector<std::pair<int, int>> SquaresAmong(const std::vector<int>& edges, int side) {
  std::vector<std::pair<int, int>> squares;
  for (std::size_t i = 0; i + 1 < edges.size(); ++i) {
    if (std::abs(edges[i + 1] - edges[i] - side) <= 2) squares.emplace_back(edges[i], edges[i + 1]);
  }
  return squares;
}

// The staff whose middle is over the square's middle: two neighbouring uprights; (-1, -1) if none.
std::pair<int, int> StaffOver(const std::vector<int>& uprights, std::pair<int, int> square) {
  for (std::size_t i = 0; i + 1 < uprights.size(); ++i) {
    if (std::abs(uprights[i] + uprights[i + 1] - square.first - square.second) <= 3) {
      return {uprights[i], uprights[i + 1]};
    }
  }
  return {-1, -1};
}

struct PageFindings {
  std::vector<GridRow> rows;
  Box allMarks;  // everything that is not white
  std::vector<std::string> problems;
};

PageFindings Inspect(const QImage& page) {
  PageFindings found;
  for (int y = 0; y < page.height(); ++y) {
    for (int x = 0; x < page.width(); ++x) {
      if (IsMarked(page.pixel(x, y))) found.allMarks.Add(x, y);
    }
  }
  // The rows' solid lines run across the page; the dashed ones cover little more than half of it,
  // with what the characters add.
  const int width = page.width();
  const std::vector<int> lines = Solid(Lines(page, page.rect(), true), 0.85);
  int previousBottom = 0;
  for (std::size_t i = 0; i + 6 <= lines.size(); i += 6) {
    GridRow row;
    row.staffLines.assign(lines.begin() + static_cast<long>(i), lines.begin() + static_cast<long>(i) + 4);
    row.squareTop = lines[i + 4];
    row.squareBottom = lines[i + 5];
    const int band = row.staffLines[1] - row.staffLines[0];
    for (int k = 1; k < 3; ++k) {
      if (std::abs(row.staffLines[static_cast<std::size_t>(k) + 1] - row.staffLines[static_cast<std::size_t>(k)] -
                   band) > 1) {
        found.problems.push_back("unequal bands in the staff at y " + std::to_string(row.staffLines[0]));
      }
    }
    // Uprights: the squares' edges run from top to bottom, the dashed middles fall short.
    const auto uprights = [&](int top, int bottom) {
      std::vector<Line> candidates = Lines(page, QRect(0, top, width, bottom - top), false);
      std::erase_if(candidates, [&](const Line& line) { return line.length < (bottom - top) * 0.95; });
      return Solid(candidates, 0);
    };
    row.edges = uprights(row.squareTop + 3, row.squareBottom - 3);
    row.staffEdges = uprights(row.staffLines[0] + 3, row.staffLines[3] - 3);
    // No reading or character reaches over the edge of its staff or square into the next one.
    const auto inkOn = [&](const std::vector<int>& edges, int top, int bottom) {
      for (const int edge : edges) {
        if (!InkIn(page, edge - 1, top, edge + 1, bottom).Empty()) {
          found.problems.push_back("ink on the edge at x " + std::to_string(edge) + ", y " + std::to_string(top));
        }
      }
    };
    inkOn(row.staffEdges, row.staffLines[0], row.staffLines[3]);
    inkOn(row.edges, row.squareTop, row.squareBottom);
    row.squares = SquaresAmong(row.edges, row.squareBottom - row.squareTop);
    for (const auto& [left, right] : row.squares) {
      const std::pair<int, int> staff = StaffOver(row.staffEdges, {left, right});
      row.staffs.push_back(staff);
      const bool known = staff.first >= 0;
      row.readings.push_back(InkIn(page, (known ? staff.first : left) + 2, previousBottom + 2,
                                   (known ? staff.second : right) - 2, row.squareTop - 2));
      row.characters.push_back(InkIn(page, left + 2, row.squareTop + 2, right - 2, row.squareBottom - 2));
    }
    previousBottom = row.squareBottom;
    found.rows.push_back(std::move(row));
  }
  if (lines.size() % 6 != 0) found.problems.push_back(std::to_string(lines.size()) + " solid lines, not six to a row");
  return found;
}

// What the checks find wrong with a page whose rows hold readings where `read(row, column)` says:
// row `r` has `squaresIn(r)` squares. Two readings side by side stand at least a quarter of a
// square apart.
template <class SquaresIn, class Read>
std::vector<std::string> Misalignments(const PageFindings& page, SquaresIn squaresIn, Read read) {
  std::vector<std::string> problems = page.problems;
  const auto problem = [&](std::size_t row, std::size_t column, const std::string& what) {
    problems.push_back("row " + std::to_string(row) + " square " + std::to_string(column) + ": " + what);
  };
  for (std::size_t r = 0; r < page.rows.size(); ++r) {
    const GridRow& row = page.rows[r];
    const auto expected = static_cast<std::size_t>(squaresIn(r));
    if (row.squares.size() != expected) {
      problem(r, 0, std::to_string(row.squares.size()) + " squares");
      continue;
    }
    const int side = row.squareBottom - row.squareTop;
    const int staffTop = row.staffLines[0], staffBottom = row.staffLines[3];
    for (std::size_t c = 0; c < row.squares.size(); ++c) {
      // Each staff at least as wide as its square, right above it.
      const auto [staffLeft, staffRight] = row.staffs[c];
      if (staffLeft < 0 || staffRight - staffLeft < side - 2) {
        problem(r, c, "no staff over the square");
        continue;
      }
      const Box& reading = row.readings[c];
      const Box& character = row.characters[c];
      const double middle = (row.squares[c].first + row.squares[c].second) / 2.0;
      if (!read(r, c)) {
        if (!reading.Empty()) problem(r, c, "a reading where none belongs");
        continue;
      }
      if (reading.Empty()) {
        problem(r, c, "no reading");
        continue;
      }
      // On its staff: from the top line to the bottom one, centred over the square.
      if (reading.top < staffTop - 1 || reading.bottom > staffBottom + 1) problem(r, c, "reading off its staff");
      if (std::abs(reading.CentreX() - middle) > side * 0.1) problem(r, c, "reading not over its square");
      if (c > 0 && read(r, c - 1) && !row.readings[c - 1].Empty() &&
          reading.left - row.readings[c - 1].right < side / 4 - 1) {
        problem(r, c, "reading closer than a quarter of a square to the one before");
      }
      if (character.Empty() || std::abs(character.CentreX() - middle) > side * 0.12 ||
          std::abs(character.CentreY() - (row.squareTop + row.squareBottom) / 2.0) > side * 0.12) {
        problem(r, c, "character not in the middle of its square");
      }
    }
  }
  return problems;
}

// Nothing within this distance of the paper's edges: the margins stay clear.
void ExpectClearEdges(const QImage& page, const PageFindings& found, int number) {
  const int margin = static_cast<int>(8 * kPixelsPerMm);
  EXPECT_GE(found.allMarks.left, margin) << "page " << number;
  EXPECT_GE(found.allMarks.top, margin) << "page " << number;
  EXPECT_LE(found.allMarks.right, page.width() - margin) << "page " << number;
  EXPECT_LE(found.allMarks.bottom, page.height() - margin) << "page " << number;
}

std::string Repeat(const std::string& line, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += line;
  return text;
}

struct SheetCase {
  const char* name;
  std::string text;
  std::vector<std::string> options;
  int columns;
  int squares;       // in a row with readings: fewer than `columns` when they stand apart
  int rows;          // rows with readings, from the top of the first page
  int firstReading;  // in each of them, the squares with readings
  int readings;
};

void PrintTo(const SheetCase& sheetCase, std::ostream* out) { *out << sheetCase.name; }

class SheetPixels : public ::testing::TestWithParam<SheetCase> {};

TEST_P(SheetPixels, StaffsSquaresReadingsAndPagesLineUp) {
  const SheetCase& test = GetParam();
  const std::vector<QImage> pages = Pages(
      MakeSheet("pixels-" + std::to_string(test.columns) + "-" + std::to_string(test.rows), test.text, test.options));
  ASSERT_FALSE(pages.empty());
  const int rowsPerPage = static_cast<int>(Inspect(pages.front()).rows.size());
  ASSERT_GT(rowsPerPage, 3);
  // Rows of empty squares fill the last page, and no page more.
  EXPECT_EQ(static_cast<int>(pages.size()), (test.rows + rowsPerPage - 1) / rowsPerPage);
  for (std::size_t n = 0; n < pages.size(); ++n) {
    const PageFindings found = Inspect(pages[n]);
    EXPECT_EQ(static_cast<int>(found.rows.size()), rowsPerPage) << "page " << n + 1;
    const int before = static_cast<int>(n) * rowsPerPage;
    const auto withReadings = [&](std::size_t row) { return before + static_cast<int>(row) < test.rows; };
    const auto read = [&](std::size_t row, std::size_t column) {
      const int square = static_cast<int>(column);
      return withReadings(row) && square >= test.firstReading && square < test.firstReading + test.readings;
    };
    const auto squaresIn = [&](std::size_t row) { return withReadings(row) ? test.squares : test.columns; };
    EXPECT_EQ(Misalignments(found, squaresIn, read), std::vector<std::string>{}) << "page " << n + 1;
    ExpectClearEdges(pages[n], found, static_cast<int>(n) + 1);
  }
}

// A paragraph to a row, indented by two squares.
INSTANTIATE_TEST_SUITE_P(
    Cases, SheetPixels,
    ::testing::Values(SheetCase{"A4, ten squares, three pages", Repeat("春眠不觉晓处处闻\n", 20), {}, 10, 10, 20, 2, 8},
                      SheetCase{"Letter, sixteen squares, the longest readings: eleven squares stand apart",
                                Repeat("床窗双装撞床窗双\n", 30),
                                {"--paper=letter", "--squares=16"},
                                16,
                                11,
                                30,
                                2,
                                8},
                      SheetCase{"eight squares, big ones", Repeat("我爱人天\n", 9), {"--squares=8"}, 8, 8, 9, 2, 4}));

TEST(SheetEdges, NothingReachesTheEdgeWhateverTheText) {
  // Stacked combining marks, long Latin words, symbols and emoji, a long title.
  const std::string text = Repeat("字" + Repeat("\u0301\u0300\u0302", 40), 3) + "\n" +
                           Repeat("WWWWWWWWWWWWWWWW mmmmmmmm ", 4) + "\n" + Repeat("😀∑※", 20) + "\n";
  const std::vector<QImage> pages =
      Pages(MakeSheet("edges", Repeat("长长长长长长长长长长长长长长长长长长\n", 2) + text, {"--title"}));
  ASSERT_FALSE(pages.empty());
  for (std::size_t n = 0; n < pages.size(); ++n) ExpectClearEdges(pages[n], Inspect(pages[n]), static_cast<int>(n) + 1);
}

// The text layer in the order it is written: each row's readings, then its characters.
std::string TextLayer(const fs::path& pdf) {
  const CommandResult text = RunCommand(PDFTOTEXT, {"-raw", pdf.string(), "-"});
  EXPECT_EQ(text.status, 0) << text.err;
  return text.out;
}

std::string WithoutBlanks(std::string text) {
  std::erase_if(text, [](char c) { return c == ' ' || c == '\n' || c == '\f'; });
  return text;
}

// The stroke that each step of a stroke order adds is red.
bool IsNewStroke(QRgb p) { return qRed(p) > 150 && qGreen(p) < 110 && qBlue(p) < 110; }

TEST(PracticePage, EachChosenCharacterHasItsStrokeOrderRowAndItsTracingRow) {
  const fs::path pdf = MakeSheet("practice", "", {"--characters", "一不人", "--squares=12"});
  // The readings as the dictionary has them; the model over its stroke order, then grey copies.
  EXPECT_EQ(WithoutBlanks(TextLayer(pdf)), "姓名：日期：yī一yīyīyī一一一bù不bùbùbù不不不rén人rénrénrén人人人1/1");
  const std::vector<QImage> pages = Pages(pdf);
  ASSERT_EQ(pages.size(), 1u);
  const PageFindings found = Inspect(pages.front());
  EXPECT_EQ(found.problems, std::vector<std::string>{});
  ASSERT_GT(found.rows.size(), 6u);
  // The squares with a new stroke in each row: one a stroke, from the second square on.
  const std::size_t strokes[] = {1, 0, 4, 0, 2, 0};
  for (std::size_t r = 0; r < found.rows.size(); ++r) {
    const GridRow& row = found.rows[r];
    std::vector<std::size_t> marked;
    for (std::size_t c = 0; c + 1 < row.edges.size(); ++c) {
      bool red = false;
      for (int y = row.squareTop + 2; y < row.squareBottom - 2 && !red; ++y) {
        for (int x = row.edges[c] + 2; x < row.edges[c + 1] - 2 && !red; ++x) red = IsNewStroke(pages[0].pixel(x, y));
      }
      if (red) marked.push_back(c);
    }
    std::vector<std::size_t> expected;
    for (std::size_t step = 1; r < std::size(strokes) && step <= strokes[r]; ++step) expected.push_back(step);
    EXPECT_EQ(marked, expected) << "row " << r;
  }
}

TEST(SheetText, ReadingsAndCharactersInReadingOrder) {
  const std::string pdf =
      MakeSheet("text", "静夜思\n床前明月光，\n疑是地上霜。\n", {"--title", "--squares=8"}).string();
  const std::string layer = TextLayer(pdf);
  // At eight squares, chuáng and the readings after it need squares that stand apart: six to a row.
  EXPECT_EQ(WithoutBlanks(layer), "jìngyèsī静夜思chuángqiánmíngyuè床前明月guāng光，yíshìdìshàng疑是地上shuāng霜。1/1")
      << layer;
}

// The readings in the staff's proportions: ascenders and tone marks reach the top line,
// descenders the bottom one (within 5 % of a band), drawn large enough to see it.
TEST(SheetStaff, AscendersAndDescendersReachTheOuterLines) {
  const std::vector<QImage> pages = Pages(MakeSheet("staff", "爸打好看来\n个跑去鱼\n", {"--squares=8"}), 300);
  ASSERT_EQ(pages.size(), 1u);
  const PageFindings found = Inspect(pages[0]);
  ASSERT_GE(found.rows.size(), 2u);
  for (std::size_t r = 0; r < 2; ++r) {
    const GridRow& row = found.rows[r];
    const double band = (row.staffLines[3] - row.staffLines[0]) / 3.0;
    ASSERT_GE(row.readings.size(), r == 0 ? 7u : 6u);
    for (std::size_t c = 2; c < (r == 0 ? 7u : 6u); ++c) {
      const Box& reading = row.readings[c];
      ASSERT_FALSE(reading.Empty()) << "row " << r << " square " << c;
      const int outerLine = r == 0 ? row.staffLines[0] : row.staffLines[3];
      const int end = r == 0 ? reading.top : reading.bottom;
      EXPECT_LE(std::abs(end - outerLine), 0.05 * band)
          << "row " << r << " square " << c << ": " << end << " against " << outerLine;
    }
  }
}

// A poem: its title centred, then the author and each line centred on a row of its own, at 8, 10
// and 14 squares a row: every line of the grid is as far from the paper's left edge as from its
// right, and the text comes row by row (a line cut in two would put readings after characters).
TEST(SheetPoem, PrintsAsCentredLinesUnderACentredTitle) {
  const std::string poem = "静夜思\n李白\n床前明月光，\n疑是地上霜。\n举头望明月，\n低头思故乡。\n";
  for (const int squares : {8, 10, 14}) {
    const fs::path pdf =
        MakeSheet("poem" + std::to_string(squares), poem, {"--poem", "--squares=" + std::to_string(squares)});
    EXPECT_EQ(WithoutBlanks(TextLayer(pdf)),
              "jìngyèsī静夜思lǐbái李白chuángqiánmíngyuèguāng床前明月光，yíshìdìshàngshuāng疑是地上霜。"
              "jǔtóuwàngmíngyuè举头望明月，dītóusīgùxiāng低头思故乡。1/1")
        << squares << " squares";
    const std::vector<QImage> pages = Pages(pdf);
    ASSERT_EQ(pages.size(), 1u);
    const QImage& page = pages[0];
    const double middle = (page.width() - 1) / 2.0;
    int firstLine = -1;
    for (int y = 0; y < page.height(); ++y) {
      int left = -1, right = -1;
      for (int x = 0; x < page.width(); ++x) {
        if (IsLine(page.pixel(x, y))) right = x, left = left < 0 ? x : left;
      }
      if (left < 0) continue;
      if (firstLine < 0) firstLine = y;
      EXPECT_LE(std::abs((left + right) / 2.0 - middle), 2) << squares << " squares, y " << y;
    }
    const Box title = InkIn(page, 0, 0, page.width() - 1, firstLine - 1);
    ASSERT_FALSE(title.Empty());
    EXPECT_LE(std::abs(title.CentreX() - middle), 0.1 * page.width() / squares) << squares << " squares";
  }
}

TEST(SheetText, ByWordAndToneChangesReachTheReadings) {
  const std::string text = "一个校长不是\n";
  EXPECT_EQ(WithoutBlanks(TextLayer(MakeSheet("textbook", text, {}))), "yígèxiàozhǎngbúshì一个校长不是1/1");
  EXPECT_EQ(WithoutBlanks(TextLayer(MakeSheet("dictionary", text, {"--no-tone-sandhi"}))),
            "yīgèxiàozhǎngbùshì一个校长不是1/1");
  const std::string byCharacter = WithoutBlanks(TextLayer(MakeSheet("characters", text, {"--no-words"})));
  EXPECT_FALSE(byCharacter.starts_with("yígèxiàozhǎng")) << byCharacter;
}

// The PDF's title, as pdfinfo shows it: the title line when the sheet prints one, else the
// input's file name, else the sheet's name; no escape sequence reaches a terminal through it.
TEST(SheetInfo, TitleIsTheTitleLineOnlyWhenPrintedElseTheFileName) {
  const std::string text = "  静夜思\x1b]0;x\x07\n床前明月光\n";
  const std::string poem = mibolan::testing_support::WriteTempFile("poem\x1b[31m.txt", text);
  const struct {
    std::vector<std::string> arguments;
    std::string title;
  } cases[] = {
      {{"--title", poem}, "静夜思]0;x"},
      {{poem}, "poem[31m.txt"},
      {{"--title", "-"}, "静夜思]0;x"},
      {{"-"}, "拼音练习纸"},
  };
  for (const auto& each : cases) {
    const fs::path pdf = TempPath("titled.pdf");
    std::vector<std::string> arguments{"--pdf", pdf.string()};
    arguments.insert(arguments.end(), each.arguments.begin(), each.arguments.end());
    const CommandResult made = RunCommand(MIBOLAN_SHEET, arguments, text);
    ASSERT_EQ(made.status, 0) << made.err;
    const CommandResult info = RunCommand(PDFINFO, {pdf.string()});
    EXPECT_NE(info.out.find("Title:           " + each.title + "\n"), std::string::npos) << info.out;
  }
}

}  // namespace
