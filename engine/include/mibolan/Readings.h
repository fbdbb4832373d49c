#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <mibolan/Export.h>
#include <mibolan/Options.h>

namespace mibolan {

// A character of a text that the conversion converts, and its reading.
struct CharacterReading {
  std::size_t index = 0;  // of the character's unit in the text
  std::string numbered;   // the numbered syllable, "ren2", "de5" (or a reading without digit, "huo")
  std::u16string marked;  // as the output shows it, "rén", "de", "huo"

  friend bool operator==(const CharacterReading&, const CharacterReading&) = default;
};

// The readings that ConvertText gives the characters of `text`, in text order; characters it
// leaves out have none. The options' style and line breaks play no part, but are checked as
// everywhere: std::invalid_argument for a value out of its enumeration, like ConvertText (a lone
// surrogate has no reading). Safe to call from any number of threads at once.
MIBOLAN_API std::vector<CharacterReading> ReadText(std::u16string_view text, const ConversionOptions& options = {});

}  // namespace mibolan
