#pragma once

#include <cstdint>
#include <vector>

#include "SheetContent.h"
#include "SheetOptions.h"

namespace mibolan::sheet {

// A cell placed in a row.
struct Slot {
  std::uint32_t cell = 0;    // index into SheetContent::cells
  std::uint16_t column = 0;  // 0 is the leftmost square
  bool trace = false;        // a light copy to write over
};

struct Row {
  enum class Kind : std::uint8_t {
    Grid,   // squares and staffs across the whole row
    Title,  // the title: readings and characters without lines, centred
  };
  Kind kind = Kind::Grid;
  double shift = 0;  // in squares, to the right; centres a title row
  std::vector<Slot> placed;
};

// The rows of one page from its top. Rows that the page has room for beyond these are empty grid.
struct Page {
  std::vector<Row> rows;
};

// Lays the content out in rows of `columns` squares, `rowsPerPage` rows to a page. There is always
// at least one page. In a reading sheet every line of the text starts a new row, a paragraph's
// first row is indented by two squares, and a row does not begin with closing punctuation nor end
// with opening punctuation.
std::vector<Page> LayOutSheet(const SheetContent& content, const SheetOptions& options, int rowsPerPage);

// The text of the first line that is not blank, where the layout's lines break (any line break,
// not only a line feed), without the blanks at its ends; empty when every line is blank.
QString FirstLine(const SheetContent& content);

}  // namespace mibolan::sheet
