#include "PracticeRows.h"

#include <QChar>
#include <QList>

#include <mibolan/Readings.h>

#include "Strokes.h"

namespace mibolan::sheet {
namespace {

char32_t FirstCodePoint(QStringView text) {
  const auto ucs4 = text.left(2).toUcs4();
  return ucs4.isEmpty() ? U'\0' : static_cast<char32_t>(ucs4.front());
}

bool PassedOver(char32_t c) {
  return QChar::isSpace(c) || QChar::isPunct(c) || QChar::category(c) == QChar::Other_Format;
}

std::uint16_t Column(std::size_t column) { return static_cast<std::uint16_t>(column); }

}  // namespace

ChosenCharacters ChooseCharacters(QStringView typed) {
  ChosenCharacters chosen;
  for (const char32_t c : typed.toUcs4()) {
    if (QChar::script(c) == QChar::Script_Han) {
      if (chosen.characters.find(c) == std::u32string::npos) chosen.characters.push_back(c);
    } else if (!PassedOver(c) && !chosen.stray) {
      chosen.stray = c;
    }
  }
  return chosen;
}

std::vector<Row> PracticeRows(const Square& character, std::size_t columns) {
  std::vector<Row> rows;
  const int strokes = StrokeCount(FirstCodePoint(character.text));
  if (strokes > 0) {
    Row row;
    row.placed.push_back(Slot{character, 0, false});
    std::size_t column = 1;
    Square outline{character.kind, character.text, std::nullopt};
    for (int drawn = 1; drawn <= strokes; ++drawn, ++column) {
      if (column == columns) {
        rows.push_back(std::move(row));
        row = Row{};
        column = 0;
      }
      Slot step{outline, Column(column), false};
      step.strokes = static_cast<std::uint16_t>(drawn);
      row.placed.push_back(std::move(step));
    }
    rows.push_back(std::move(row));
  }
  Row tracing;
  for (std::size_t copy = 0; copy < kTraceCopies; ++copy) {
    // Without a stroke-order row above it, the character itself comes first.
    const bool trace = strokes > 0 || copy > 0;
    tracing.placed.push_back(Slot{character, Column(copy), trace});
  }
  rows.push_back(std::move(tracing));
  return rows;
}

Square PracticeSquare(char32_t character, const ConversionOptions& options) {
  const std::u32string one(1, character);
  const QString text = QString::fromUcs4(one.data(), 1);
  const std::vector<CharacterReading> readings = ReadText(text.toStdU16String(), options);
  return Square{CellKind::Character, text, readings.empty() ? std::nullopt : std::optional(readings.front())};
}

}  // namespace mibolan::sheet
