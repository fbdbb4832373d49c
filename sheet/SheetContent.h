#pragma once

#include <cstdint>
#include <vector>

#include <QString>

#include <mibolan/Readings.h>

namespace mibolan::sheet {

// What one square of the sheet holds.
enum class CellKind : std::uint8_t {
  Character,  // a Chinese (or other full-width) character, with its reading when the engine gives one
  Mark,       // a punctuation mark or a symbol, or two marks that share a square (：“ 。”), without reading
  Latin,      // one or two narrow letters or digits, which share a square (with a point inside a number)
  Space,      // a blank: an empty square
  LineBreak,  // ends the line: the text goes on in a new row
};

struct Cell {
  std::uint32_t begin = 0;    // of its first UTF-16 unit in the text
  std::uint32_t length = 0;   // in UTF-16 units
  std::int32_t reading = -1;  // index into SheetContent::readings, or -1
  CellKind kind = CellKind::Character;
  bool joined = false;  // goes on with the word or number of the cell before, which a row does not split
};

// A text cut into what the squares hold, in text order, with the engine's readings.
struct SheetContent {
  QString text;
  std::vector<CharacterReading> readings;
  std::vector<Cell> cells;

  QString TextOf(const Cell& cell) const { return text.mid(cell.begin, cell.length); }
  const CharacterReading* ReadingOf(const Cell& cell) const {
    return cell.reading < 0 ? nullptr : &readings[static_cast<std::size_t>(cell.reading)];
  }
};

// Reads `text` with `options` and cuts it into cells: one per user-perceived character, except
// that narrow letters and digits go two to a cell (a point between digits with them, 3.5 in one),
// two marks that school paper writes in one square share a cell, a run of blanks is one cell (each
// ideographic space one of its own), and invisible format characters have none.
SheetContent ReadSheetText(QString text, const ConversionOptions& options);

// Whether the units on each side of `at` in `text` may share a cell: a text cut there would not
// be cut into the same cells.
bool SharesACellAcross(QStringView text, qsizetype at);

}  // namespace mibolan::sheet
