#include "CharDictionary.h"

#include <array>
#include <cstdint>
#include <iterator>

#include "../Utf.h"

namespace mibolan {

namespace {
#include "DictionaryTable.inc"
}  // namespace

CharDictionary::CharDictionary()
    : firstHead_(kFirstHead), headCount_(static_cast<unsigned>(std::size(kHeadReadings))), heads_(kHeadReadings) {
  forms_.reserve(std::size(kNumberedSyllables));
  for (std::string_view syllable : kNumberedSyllables) forms_.push_back(MakeReadingForms(syllable));
}

const CharDictionary& CharDictionary::Embedded() {
  static const CharDictionary dictionary;
  return dictionary;
}

std::string_view CharDictionary::Reading(char16_t character) const {
  const ReadingId id = ReadingIdOf(character);
  return id == kNoReading ? std::string_view{} : std::string_view(Forms(id).numbered);
}

std::string CharDictionary::Text() const {
  std::string text;
  for (unsigned offset = 0; offset < headCount_; ++offset) {
    if (heads_[offset] == kNoReading) continue;
    AppendUtf8(text, static_cast<char16_t>(firstHead_ + offset));
    text += ' ';
    text += Forms(heads_[offset]).numbered;
    text += '\n';
  }
  return text;
}

}  // namespace mibolan
