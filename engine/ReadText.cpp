#include <mibolan/Readings.h>

#include "ConversionPass.h"
#include "MarkTone.h"

namespace mibolan {

std::vector<CharacterReading> ReadText(std::u16string_view text, const ConversionOptions&) {
  const ConversionTables& tables = ConversionTables::Get();
  std::vector<CharacterReading> readings;
  std::size_t index = 0;  // of the next unit that the walk hands over
  const auto emit = [&](char16_t, ReadingIndex reading) {
    const std::string_view numbered = tables.Numbered(reading);
    readings.push_back({index++, std::string(numbered), MarkReading(numbered)});
  };
  ConvertRange(text, 0, text.size(), tables, emit, [&](std::u16string_view run) { index += run.size(); });
  return readings;
}

}  // namespace mibolan
