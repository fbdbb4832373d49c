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
  double width = 0;        // of its reading on the staff, in squares
  bool joined = false;     // goes on with the word or number of the square before
  std::size_t origin = 0;  // where the cell is in the whole text: its first UTF-16 unit
};

// How wide a reading is written on the staff, in squares (everything on a page is in proportion
// to its squares).
using ReadingWidth = std::function<double(const QString& reading)>;

// A cell placed in a row.
struct Slot {
  Square square;
  std::uint16_t column = 0;   // 0 is the leftmost square; the row's last square and one, a mark hung after it
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
  double shift = 0;  // in squares, to the right; centres a title row or a line of a poem
  std::vector<Slot> placed;
  // From one square's staff to the next, in squares: more than one when the readings of a row need
  // more room than their squares, which then stand apart, each in the middle of its staff.
  double pitch = 1;
  std::uint16_t squares = 0;  // drawn from `shift` on; 0: as many as the row has room for
};

// The rows of one page from its top. Rows that the page has room for beyond these are empty grid.
struct Page {
  std::vector<Row> rows;
};

// Lays a text out in rows of `columns` squares, `rowsPerPage` rows to a page, as its pieces come,
// and hands over each page as soon as it is full: it keeps one page and the row being filled, and
// for a practice page the characters seen (see PracticeRows.h). In a reading sheet every line of the text starts a
// new row, and a paragraph's first row is indented by two squares; in a poem the first line is the
// title and every line is centred, without indent. A line may come in several pieces.
//
// Rows break as Chinese is typeset: a row does not begin with closing punctuation (a closing mark
// that finds the row full hangs after its last square) nor end with opening punctuation, and a word
// of narrow letters or a number is not split. Two readings next to each other stand at least
// kSyllableGap apart and a reading keeps clear of its staff's edges; when a row's readings need
// more room, its squares stand further apart (`Row::pitch`) and fewer fit.
class SheetLayouter {
 public:
  using PageTaker = std::function<void(Page&&)>;

  static constexpr double kSyllableGap = 0.25;  // in squares
  static constexpr double kStaffRoom = 0.04;    // in squares, on each side of a reading within its staff

  // Without `width`, readings are taken to fit their squares.
  SheetLayouter(const SheetOptions& options, int rowsPerPage, PageTaker take, ReadingWidth width = {});
  ~SheetLayouter();

  // The cells of the text's next piece.
  void Add(const SheetContent& piece);
  // Hands over the last page: there is always at least one.
  void Finish();

  // The first line that is not blank, without the blanks at its ends, as far as it has come;
  // only its first kFirstLineLength units are kept.
  const QString& FirstLine() const;
  static constexpr qsizetype kFirstLineLength = 400;

  // Whether the text so far has a square that is not blank (a character, a mark, Latin letters),
  // and whether any square of the sheet has a reading.
  bool AnyText() const;
  bool AnyReading() const;

 private:
  class Lines;
  std::unique_ptr<Lines> lines_;
};

// The pages of a whole text, `rowsPerPage` rows to a page.
std::vector<Page> LayOutSheet(const SheetContent& content, const SheetOptions& options, int rowsPerPage,
                              ReadingWidth width = {});

// The text of the first line that is not blank, where the layout's lines break (any line break,
// not only a line feed), without the blanks at its ends; empty when every line is blank.
QString FirstLine(const SheetContent& content);

}  // namespace mibolan::sheet
