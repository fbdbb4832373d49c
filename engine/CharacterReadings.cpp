// A character's readings by code point: the dictionary's, a character's own beyond it, and every
// reading for a choice.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include <mibolan/Dictionary.h>

#include "WordCharacters.h"
#include "WordList.h"

namespace mibolan {

namespace {

// The readings of kReadingChoices[i] are kChoiceSyllables[first] up to the next entry's first.
struct ReadingChoice {
  char32_t code;
  std::uint32_t first;
};

#include "ReadingChoices.inc"

// Every numbered syllable, by syllable id, for views that last.
const std::vector<std::string>& NumberedSyllables() {
  static const std::vector<std::string> syllables = [] {
    std::vector<std::string> all(WordList::SyllableIdCount());
    for (std::size_t id = 0; id < all.size(); ++id)
      all[id] = WordList::NumberedSyllable(static_cast<std::uint16_t>(id));
    return all;
  }();
  return syllables;
}

}  // namespace

std::string_view DictionaryReading(char32_t character) {
  if (character < 0x10000) {
    const auto unit = static_cast<char16_t>(character);
    if (const std::string_view reading = DictionaryReading(unit); !reading.empty()) return reading;
  }
  const std::uint16_t own =
      character < 0x10000 ? OwnSyllableOfUnit(static_cast<char16_t>(character)) : OwnSyllable(character);
  return own == kNoOwnSyllable ? std::string_view() : std::string_view(NumberedSyllables()[own]);
}

std::vector<std::string> ReadingsOf(char32_t character) {
  const auto* const last = std::end(kReadingChoices) - 1;  // the end mark
  const auto* const found =
      std::lower_bound(std::begin(kReadingChoices), last, character,
                       [](const ReadingChoice& choice, char32_t key) { return choice.code < key; });
  if (found != last && found->code == character) {
    std::vector<std::string> readings;
    for (std::uint32_t i = found->first; i < found[1].first; ++i)
      readings.push_back(NumberedSyllables()[kChoiceSyllables[i]]);
    return readings;
  }
  const std::string_view reading = DictionaryReading(character);
  if (reading.empty()) return {};
  return {std::string(reading)};
}

}  // namespace mibolan
