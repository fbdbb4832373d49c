#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

#include "WordTableFormat.h"

namespace mibolan {

// The word list built into the program: every word with its cost (how unlikely it is) and,
// where it has one, its reading, found by walking a double-array trie over the text's units.
class WordList {
 public:
  // A word as the trie holds it (word_table::WordCode): where its reading lies.
  using WordId = std::int32_t;

  static const WordList& Embedded();

  // Calls found(length, word, cost) for every word that the `available` units at `text` start
  // with, shortest first. Returns false when the units ran out where a longer word could still
  // follow: more text may hold more words.
  template <class Found>
  bool ForEachPrefix(const char16_t* text, std::size_t available, Found&& found) const {
    const word_table::Slot* slot = slots_;
    for (std::size_t length = 1; length <= word_table::kMaxWordLength; ++length) {
      if (length > available) return slot->base == 0;  // only a slot with children has a base
      const std::uint16_t code = letterCode_[text[length - 1]];
      if (code == 0) return true;
      const auto index = static_cast<std::uint32_t>(slot - slots_);
      const std::uint32_t edge = word_table::EdgeBit(index, code);
      if ((edges_[edge / 64] >> (edge % 64) & 1) == 0) return true;
      const word_table::Slot* next = slots_ + slot->base + code;
      if (next->check != static_cast<std::int32_t>(index)) return true;
      slot = next;
      if (slot->word >= 0) found(length, slot->word, slot->cost);
    }
    return true;
  }

  // The reading of the character's own entry, when it has one with a reading.
  std::span<const std::uint16_t> ReadingAlone(char16_t unit) const {
    std::span<const std::uint16_t> reading;
    ForEachPrefix(&unit, 1, [&](std::size_t, WordId word, std::int32_t) { reading = Reading(word, 1); });
    return reading;
  }

  // Whether the unit can stand in a word at all.
  bool InAnyWord(char16_t unit) const { return letterCode_[unit] != 0; }

  std::int32_t UnknownCost() const { return unknownCost_; }

  // Syllable ids run from 0 to SyllableIdCount() - 1.
  static std::size_t SyllableIdCount();

  // The numbered syllable of a syllable id: "yi2".
  static std::string NumberedSyllable(std::uint16_t id);

  // The syllable ids (word_table::SyllableId) of the word, `length` units long, one per unit;
  // empty when its characters are read one by one.
  std::span<const std::uint16_t> Reading(WordId word, std::size_t length) const {
    if (!word_table::HasReading(word)) return {};
    return {syllables_ + word_table::SyllablesStart(word), length};
  }

 private:
  explicit WordList(const char* image);

  const std::uint16_t* letterCode_;
  const std::uint64_t* edges_;
  const word_table::Slot* slots_;
  const std::uint16_t* syllables_;
  std::int32_t unknownCost_;
};

}  // namespace mibolan
