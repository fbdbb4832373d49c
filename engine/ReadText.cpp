#include <mibolan/Readings.h>

#include "ConversionPass.h"
#include "MarkTone.h"
#include "ReadingPass.h"

namespace mibolan {

std::vector<CharacterReading> ReadText(std::u16string_view text, const ConversionOptions& options) {
  const ConversionTables& tables = ConversionTables::Get();
  std::vector<CharacterReading> readings;
  const auto add = [&](std::size_t index, ReadingIndex reading) {
    const std::string_view numbered = tables.Numbered(reading);
    readings.push_back({index, std::string(numbered), MarkReading(numbered)});
  };
  if (ReadsByCharacterAlone(options)) {
    for (std::size_t index = 0; index < text.size(); ++index) {
      if (const ReadingIndex reading = ReadingAt(text, index, tables)) add(index, reading);
    }
    return readings;
  }
  ReadingPass pass(options);
  pass.Feed(text);
  pass.Finish();
  for (std::size_t index = 0; index < text.size(); ++index) {
    if (const ReadingIndex reading = pass.ReadingOf(index)) add(index, reading);
  }
  return readings;
}

}  // namespace mibolan
