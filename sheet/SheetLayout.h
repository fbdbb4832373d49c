#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "SheetContent.h"
#include "SheetOptions.h"

namespace mibolan::sheet {

// What a square shows: a cell of the text with its reading, apart from the text it came from, so
// that a page outlives the piece of text it was laid out from.
struct Square {
  CellKind kind = CellKind::Character;
  QString text;
  std::optional<CharacterReading> reading;
  std::size_t origin = 0;  // where the cell is in the whole text: its first UTF-16 unit
};

// A cell placed in a row.
struct Slot {
  Square square;
  std::uint16_t column = 0;   // 0 is the leftmost square
  bool trace = false;         // a light copy to write over
  std::uint16_t strokes = 0;  // of a stroke order: drawn with this many strokes, the last one marked
};

struct Row {
  enum class Kind : std::uint8_t {
    Grid,         // squares and staffs across the whole row
    Title,        // the title: readings and characters without lines, centred
    NameAndDate,  // lines to write the pupil's name and the date on, atop each practice page
  };
  Kind kind = Kind::Grid;
  double shift = 0;  // in squares, to the right; centres a title row
  std::vector<Slot> placed;
};

// The rows of one page from its top. Rows that the page has room for beyond these are empty grid.
struct Page {
  std::vector<Row> rows;
};

// Lays a text out in rows of `columns` squares, `rowsPerPage` rows to a page, as its pieces come,
// and hands over each page as soon as it is full: it keeps one page and the row being filled, and
// for a practice page the characters seen (see PracticeRows.h). In a reading sheet every line of the text starts a
// new row, a paragraph's first row is indented by two squares, and a row does not begin with
// closing punctuation nor end with opening punctuation. A line may come in several pieces.
class SheetLayouter {
 public:
  using PageTaker = std::function<void(Page&&)>;

  SheetLayouter(const SheetOptions& options, int rowsPerPage, PageTaker take);
  ~SheetLayouter();

  // The cells of the text's next piece.
  void Add(const SheetContent& piece);
  // Hands over the last page: there is always at least one.
  void Finish();

  // The first line that is not blank, without the blanks at its ends, as far as it has come;
  // only its first kFirstLineLength units are kept.
  const QString& FirstLine() const;
  static constexpr qsizetype kFirstLineLength = 400;

 private:
  class Lines;
  std::unique_ptr<Lines> lines_;
};

// The pages of a whole text, `rowsPerPage` rows to a page.
std::vector<Page> LayOutSheet(const SheetContent& content, const SheetOptions& options, int rowsPerPage);

// The text of the first line that is not blank, where the layout's lines break (any line break,
// not only a line feed), without the blanks at its ends; empty when every line is blank.
QString FirstLine(const SheetContent& content);

}  // namespace mibolan::sheet
