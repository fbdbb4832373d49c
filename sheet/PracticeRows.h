#pragma once

#include <optional>
#include <string>
#include <vector>

#include <QStringView>

#include "SheetLayout.h"

namespace mibolan::sheet {

// Copies to trace at the start of a character's tracing row.
inline constexpr std::size_t kTraceCopies = 3;

// The characters a teacher typed for a practice page.
struct ChosenCharacters {
  std::u32string characters;      // the Chinese ones, each once, in the order typed
  std::optional<char32_t> stray;  // the first that is neither Chinese, a blank nor punctuation
};

// The Chinese characters of `typed`; blanks and punctuation between them (人，口 手) are passed over.
ChosenCharacters ChooseCharacters(QStringView typed);

// The rows of one character of a practice page, `columns` squares wide: its stroke order (the
// character with its reading, then drawn with one, two, ... strokes, as many rows as it takes),
// then its tracing row (grey copies, then empty squares). A character without stroke data has
// the tracing row only, which then starts with the character itself.
std::vector<Row> PracticeRows(const Square& character, std::size_t columns);

// A character's square on a practice page when the text does not hold it: its reading on its own.
Square PracticeSquare(char32_t character, const ConversionOptions& options);

}  // namespace mibolan::sheet
