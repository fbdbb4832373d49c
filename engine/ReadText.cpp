#include <mibolan/Readings.h>

#include <utility>
#include <vector>

#include "ConversionPass.h"
#include "ReadingPass.h"
#include "TransparentRuns.h"
#include "Walk.h"

namespace mibolan {

namespace {

// The readings found, in text order: the index of each character's unit and its reading.
using Found = std::vector<std::pair<std::size_t, ReadingIndex>>;

Found FindReadings(std::u16string_view text, const ConversionOptions& options, const ConversionTables& tables) {
  Found found;
  if (!ChooseWalk(options).NeedsReadingPass()) {
    for (std::size_t index = 0; index < text.size(); ++index) {
      if (const ReadingIndex reading = ReadingAt(text, index, tables)) found.emplace_back(index, reading);
    }
    return found;
  }
  // The pass reads the text without its transparent characters, as the converters have it read.
  TransparentRuns runs(true);
  std::u16string room;
  std::u16string read(runs.Split(text, room));
  runs.Finish(read);
  ReadingPass pass(options);
  pass.Feed(read);
  pass.Finish();
  std::size_t index = 0;  // in `text` of the unit read at `at`
  for (std::size_t at = 0; at < read.size(); ++at, ++index) {
    index += runs.TakeAt(at).size();
    if (const ReadingIndex reading = pass.ReadingOf(at)) found.emplace_back(index, reading);
  }
  return found;
}

}  // namespace

// The readings are found first and written out after, so that the vector of strings is made
// once at its size rather than moved each time it grows.
std::vector<CharacterReading> ReadText(std::u16string_view text, const ConversionOptions& options) {
  const ConversionTables& tables = ConversionTables::Get();
  const Found found = FindReadings(text, options, tables);
  // The marked form is the pinyin style's fragment without its closing blank, made at build
  // time rather than once a character here.
  const Fragment<char16_t>* const marked = tables.Fragments<char16_t>(Style::Pinyin);
  std::vector<CharacterReading> readings;
  readings.reserve(found.size());
  for (const auto& [index, reading] : found) {
    const Fragment<char16_t>& fragment = marked[reading];
    readings.push_back({index, std::string(tables.Numbered(reading)),
                        std::u16string(fragment.text.data(), fragment.size - std::size_t{1})});
  }
  return readings;
}

}  // namespace mibolan
