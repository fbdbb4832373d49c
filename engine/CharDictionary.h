#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "../ShortText.h"

namespace mibolan {

// The character dictionary: one numbered syllable for each head character. The table is
// generated from engine/data/dictionary.txt at build time and looked up directly by code unit.
class CharDictionary {
 public:
  using ReadingId = std::uint16_t;
  static constexpr ReadingId kNoReading = 0;

  // The dictionary built into the program.
  static const CharDictionary& Embedded();

  ReadingId ReadingIdOf(char16_t character) const {
    const auto offset = static_cast<unsigned>(character) - firstHead_;
    return offset < headCount_ ? heads_[offset] : kNoReading;
  }

  // The lowest and highest head; no other unit has a reading.
  char16_t FirstHead() const { return static_cast<char16_t>(firstHead_); }
  char16_t LastHead() const { return static_cast<char16_t>(firstHead_ + headCount_ - 1); }

  // The numbered syllable of the character's line ("ren2"); empty when no line has it as head.
  std::string_view Reading(char16_t character) const;

  // The numbered syllable with id `id`, 1 to ReadingCount().
  std::string_view Numbered(ReadingId id) const { return syllables_[id - 1U].View(); }

  std::size_t ReadingCount() const { return syllableCount_; }

  // The dictionary text: one line "字 syl#" and "\n" per head, in code-point order (UTF-8).
  std::string Text() const;

 private:
  CharDictionary();

  unsigned firstHead_;
  unsigned headCount_;
  const std::uint16_t* heads_;
  const ShortText* syllables_;
  std::size_t syllableCount_;
};

}  // namespace mibolan
