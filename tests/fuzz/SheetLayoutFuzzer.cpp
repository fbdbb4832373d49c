// Fuzzes the reading sheet's layout with arbitrary UTF-16 laid out whole and in pieces: no crash,
// every square of the text placed exactly once and in order (or each character once on a practice
// page, with the reading it first has), pages well-formed, and pieces that end at line feeds giving the pages of
// the whole text.
// Input: one byte of choices (layout, title, squares, rows to a page, length of a piece), then
// the text's units, little-endian.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "FuzzChecks.h"
#include "SheetContent.h"
#include "SheetLayout.h"
#include "TextPieces.h"

namespace mibolan::fuzz {
namespace {

using sheet::CellKind;
using sheet::Page;
using sheet::Row;

// What a page shows, square by square, to compare two layouts.
std::string Shown(const std::vector<Page>& pages) {
  std::string shown;
  for (const Page& page : pages) {
    for (const Row& row : page.rows) {
      shown.append(std::to_string(static_cast<int>(row.kind))).append(std::to_string(row.shift));
      for (const sheet::Slot& slot : row.placed) {
        shown.append(std::to_string(slot.column)).append(slot.trace ? "~" : ":").append(std::to_string(slot.strokes));
        shown.append(slot.square.text.toStdString());
        if (slot.square.reading) shown.append("(").append(slot.square.reading->numbered).append(")");
      }
      shown += "\n";
    }
    shown += "|";
  }
  return shown;
}

void CheckWellFormed(const std::vector<Page>& pages, const sheet::SheetOptions& options, int rowsPerPage) {
  Check(!pages.empty(), "at least one page");
  for (const Page& page : pages) {
    Check(page.rows.size() <= static_cast<std::size_t>(rowsPerPage), "no more rows than a page holds");
    for (const Row& row : page.rows) {
      if (row.kind == Row::Kind::NameAndDate) Check(row.placed.empty(), "the name and date line holds no square");
      int last = -1;
      for (const sheet::Slot& slot : row.placed) {
        Check(slot.column > last, "squares of a row from left to right, one to a column");
        const double right = row.shift + (slot.column + 1) * row.pitch;
        const bool hung = &slot == &row.placed.back() && slot.square.kind == CellKind::Mark;
        Check(right <= options.squaresPerRow + 1e-9 || (hung && right - 1 <= options.squaresPerRow + 1e-9),
              "every square within the row, but a mark hung after its last square");
        Check(slot.square.kind != CellKind::Space && slot.square.kind != CellKind::LineBreak,
              "no blank or line break placed");
        Check(!slot.square.text.isEmpty(), "every placed square shows something");
        last = slot.column;
      }
    }
  }
}

// Every square of the text that is not blank, once, in text order; on a practice page each
// character with a reading once, the light copies and the steps of its stroke order aside.
void CheckEachPlacedOnce(const sheet::SheetContent& content, const std::vector<Page>& pages,
                         const sheet::SheetOptions& options) {
  std::vector<QString> placed;
  std::map<QString, std::u16string> practised;
  for (const Page& page : pages) {
    for (const Row& row : page.rows) {
      for (const sheet::Slot& slot : row.placed) {
        if (slot.trace) continue;
        if (options.layout == sheet::SheetLayout::Practice && row.kind == Row::Kind::Grid) {
          if (slot.strokes > 0) {
            Check(!slot.square.reading.has_value(), "a step of a stroke order has no reading");
            continue;
          }
          Check(slot.square.reading.has_value(), "a practised character has its reading");
          Check(practised.emplace(slot.square.text, slot.square.reading->marked).second,
                "each character practised once");
        } else {
          placed.push_back(slot.square.text);
        }
      }
    }
  }
  std::map<QString, std::u16string> read;  // the reading each character first has
  std::vector<QString> squares;
  for (const sheet::Cell& cell : content.cells) {
    if (const CharacterReading* reading = content.ReadingOf(cell)) read.emplace(content.TextOf(cell), reading->marked);
    if (cell.kind != CellKind::Space && cell.kind != CellKind::LineBreak) squares.push_back(content.TextOf(cell));
  }
  if (options.layout != sheet::SheetLayout::Practice) {
    Check(placed == squares, "every square of the text placed once, in order");
  } else {
    Check(practised == read, "every character practised with the reading it first has");
    Check(std::search(squares.begin(), squares.end(), placed.begin(), placed.end()) == squares.begin(),
          "the title is the text's first squares");
  }
}

}  // namespace
}  // namespace mibolan::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mibolan;
  if (size == 0) return 0;
  const std::uint8_t choices = data[0];
  sheet::SheetOptions options;
  options.layout = choices & 1      ? sheet::SheetLayout::Practice
                   : choices & 0x80 ? sheet::SheetLayout::Poem
                                    : sheet::SheetLayout::Reading;
  options.title = (choices & 2) != 0;
  options.squaresPerRow = sheet::kFewestSquares + ((choices >> 2) & 7);
  const int rowsPerPage = 1 + ((choices >> 5) & 3) * 3;
  QString text;
  for (std::size_t i = 1; i + 1 < size; i += 2) text.append(QChar(static_cast<char16_t>(data[i] | data[i + 1] << 8)));

  const sheet::SheetContent content = sheet::ReadSheetText(text, sheet::ReadingOptions(options));
  const std::vector<sheet::Page> whole = sheet::LayOutSheet(content, options, rowsPerPage);
  fuzz::CheckWellFormed(whole, options, rowsPerPage);
  fuzz::CheckEachPlacedOnce(content, whole, options);

  // In pieces no longer than the longest line plus one of a few lengths: every piece ends at a
  // line feed, and the pages are those of the whole text.
  qsizetype longestLine = 0;
  for (qsizetype begin = 0; begin <= text.size();) {
    const qsizetype end = text.indexOf(u'\n', begin);
    longestLine = std::max(longestLine, (end < 0 ? text.size() : end + 1) - begin);
    begin = end < 0 ? text.size() + 1 : end + 1;
  }
  const qsizetype longest = longestLine + 1 + (choices >> 5);
  std::vector<sheet::Page> pieced;
  sheet::SheetLayouter layouter(options, rowsPerPage, [&](sheet::Page&& page) { pieced.push_back(std::move(page)); });
  sheet::StringText(text, longest).Walk([&](QString piece) {
    fuzz::Check(piece.size() <= longest, "a piece no longer than asked");
    layouter.Add(sheet::ReadSheetText(std::move(piece), sheet::ReadingOptions(options)));
    return true;
  });
  layouter.Finish();
  fuzz::Check(fuzz::Shown(pieced) == fuzz::Shown(whole), "laid out in pieces == laid out whole");

  // In short pieces, cut inside lines: bounded, nothing lost, pages still well-formed.
  QString joined;
  std::vector<sheet::Page> cut;
  sheet::SheetLayouter cutLayouter(options, rowsPerPage, [&](sheet::Page&& page) { cut.push_back(std::move(page)); });
  sheet::StringText(text, 4 + (choices & 31)).Walk([&](QString piece) {
    joined += piece;
    cutLayouter.Add(sheet::ReadSheetText(std::move(piece), sheet::ReadingOptions(options)));
    return true;
  });
  cutLayouter.Finish();
  fuzz::Check(joined == text, "the pieces joined are the text");
  fuzz::CheckWellFormed(cut, options, rowsPerPage);
  return 0;
}
