#include "CharDictionary.h"

#include <array>
#include <cstdint>
#include <iterator>

#include <mibolan/Dictionary.h>

#include "../Utf.h"

namespace mibolan {

namespace {
#include "DictionaryTable.inc"
}  // namespace

CharDictionary::CharDictionary()
    : firstHead_(kFirstHead),
      headCount_(static_cast<unsigned>(std::size(kHeadReadings))),
      heads_(kHeadReadings),
      syllables_(kNumberedSyllables),
      syllableCount_(std::size(kNumberedSyllables)) {}

const CharDictionary& CharDictionary::Embedded() {
  static const CharDictionary dictionary;
  return dictionary;
}

std::string_view CharDictionary::Reading(char16_t character) const {
  const ReadingId id = ReadingIdOf(character);
  return id == kNoReading ? std::string_view{} : Numbered(id);
}

std::string CharDictionary::Text() const {
  std::string text;
  for (unsigned offset = 0; offset < headCount_; ++offset) {
    if (heads_[offset] == kNoReading) continue;
    AppendUtf8(text, static_cast<char16_t>(firstHead_ + offset));
    text += ' ';
    text += Numbered(heads_[offset]);
    text += '\n';
  }
  return text;
}

// The public face of the dictionary.
std::string DictionaryText() { return CharDictionary::Embedded().Text(); }

std::string_view DictionaryReading(char16_t character) { return CharDictionary::Embedded().Reading(character); }

}  // namespace mibolan
