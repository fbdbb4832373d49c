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
    const std::uint64_t* sketch = nullptr;
  };

  // The character's block; its readings are empty when the model has none for it.
  Block BlockOf(char16_t character) const;

  // Whether the block may have a feature for this neighbour (polyphone_model::kNeighbourNames[name],
  // a value starting with firstUnit); when not, adding its weights would add nothing.
  static bool MayHave(const Block& block, std::size_t name, char16_t firstUnit) {
    const std::size_t bit = polyphone_model::SketchBit(name, firstUnit);
    return (block.sketch[bit / 64] >> (bit % 64) & 1) != 0;
  }

  // Adds the weights of one feature of the block's character (its key, polyphone_model::FeatureKey
  // of its text, "L1=局") to `scores`, one per reading; a feature the model does not know adds
  // nothing.
  void AddWeights(const Block& block, std::uint64_t key, std::span<std::int32_t> scores) const;

  // How far the best reading must lead the default one to replace it.
  std::int32_t Margin() const;

  // The reading (syllable ids, one per unit) that replaces the word list's for this word, which
  // the model's training sentences read otherwise; empty for a word it does not correct.
  std::span<const std::uint16_t> CorrectedReading(std::u16string_view word) const;
};

}  // namespace mibolan
