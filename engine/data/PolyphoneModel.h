#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "PolyphoneModelFormat.h"

namespace mibolan {

// The polyphone model built into the program: for each polyphonic character it knows, the
// readings it chooses among (syllable ids) and a weight for each of them per feature of the
// character's neighbourhood (engine/data/polyphone_model.txt; tools/README.md has the method).
class PolyphoneModel {
 public:
  static const PolyphoneModel& Embedded();

  // A character's block: the readings it chooses among and where its features are.
  struct Block {
    char16_t character = 0;
    std::span<const std::uint16_t> readings;  // syllable ids; empty when the model has no block
    std::uint32_t firstSlot = 0;
    std::uint32_t slotMask = 0;  // the block's slot count less one
  };

  // The character's block; its readings are empty when the model has none for it.
  Block BlockOf(char16_t character) const;

  // Adds the weights of one feature of the block's character (its text, "L1=局") to `scores`,
  // one per reading; a feature the model does not know adds nothing.
  void AddWeights(const Block& block, std::u16string_view feature, std::span<std::int32_t> scores) const;

  // How far the best reading must lead the default one to replace it.
  std::int32_t Margin() const;

  // The reading (syllable ids, one per unit) that replaces the word list's for this word, which
  // the model's training sentences read otherwise; empty for a word it does not correct.
  std::span<const std::uint16_t> CorrectedReading(std::u16string_view word) const;
};

}  // namespace mibolan
