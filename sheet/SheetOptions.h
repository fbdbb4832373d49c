#pragma once

#include <mibolan/Options.h>

namespace mibolan::sheet {

// What the pages show.
enum class SheetLayout {
  Reading,   // the text, each character in its square with its reading above
  Practice,  // each distinct character once per row: itself, two copies to trace, empty squares
  Poem,      // the text as Reading has it, its first line the title and every line centred, unindented
};

enum class Paper { A4, Letter };

inline constexpr int kFewestSquares = 8;
inline constexpr int kMostSquares = 16;

struct SheetOptions {
  SheetLayout layout = SheetLayout::Reading;
  Paper paper = Paper::A4;
  int squaresPerRow = 10;  // kFewestSquares to kMostSquares
  bool title = false;      // the text's first line is the sheet's title
  // How the readings are chosen; its style plays no part. As textbooks print them.
  ConversionOptions conversion = Textbook();
};

}  // namespace mibolan::sheet
