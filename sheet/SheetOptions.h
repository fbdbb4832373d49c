#pragma once

#include <cstddef>
#include <map>
#include <string>

#include <mibolan/Options.h>

namespace mibolan::sheet {

// What the pages show.
enum class SheetLayout {
  Reading,   // the text, each character in its square with its reading above
  Practice,  // each character once: its stroke order, then copies to trace and empty squares
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
  // The characters of a practice page, distinct, in order; empty: every character of the text that
  // has a reading, in the order they first come.
  std::u32string characters;
  // Readings a teacher chose, numbered ("zhang3"), by where their character is in the whole text
  // (its first UTF-16 unit); they stand in for the engine's there.
  std::map<std::size_t, std::string> corrections;
};

// How the sheet reads its text: a practice page gives each character as the dictionary reads it
// (一 yī, 不 bù), since the tones that change before another character belong to the text.
inline ConversionOptions ReadingOptions(const SheetOptions& options) {
  ConversionOptions conversion = options.conversion;
  if (options.layout == SheetLayout::Practice) conversion.toneSandhi = false;
  return conversion;
}

}  // namespace mibolan::sheet
