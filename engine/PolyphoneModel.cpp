#include "PolyphoneModel.h"

#include <algorithm>
#include <array>
#include <bit>
#include <functional>
#include <iterator>

namespace mibolan {

namespace {
#include "PolyphoneModel.inc"

// The characters that have a block, one bit each, and before each word of bits the number of
// blocks of the words below it: most characters have no block and are told so at once, and the
// block of one that has is counted, not searched for.
struct BlockIndex {
  std::array<std::uint64_t, 0x10000 / 64> bits{};
  std::array<std::uint16_t, 0x10000 / 64> before{};
};
constexpr BlockIndex kBlockIndex = [] {
  BlockIndex index;
  for (char16_t character : kBlockCharacters) index.bits[character / 64] |= std::uint64_t{1} << (character % 64);
  std::uint16_t count = 0;
  for (std::size_t word = 0; word < index.bits.size(); ++word) {
    index.before[word] = count;
    count = static_cast<std::uint16_t>(count + std::popcount(index.bits[word]));
  }
  return index;
}();
// Counting finds the block only when the characters ascend strictly.
static_assert(std::adjacent_find(std::begin(kBlockCharacters), std::end(kBlockCharacters), std::greater_equal<>()) ==
              std::end(kBlockCharacters));
}  // namespace

const PolyphoneModel& PolyphoneModel::Embedded() {
  static const PolyphoneModel model;
  return model;
}

PolyphoneModel::Block PolyphoneModel::BlockOf(char16_t character) const {
  const std::uint64_t bits = kBlockIndex.bits[character / 64];
  const std::uint64_t below = (std::uint64_t{1} << (character % 64)) - 1;
  if ((bits >> (character % 64) & 1) == 0) return {};
  const std::size_t block = kBlockIndex.before[character / 64] + static_cast<std::size_t>(std::popcount(bits & below));
  return {character,
          {kReadings + kBlockReadingStarts[block], kReadings + kBlockReadingStarts[block + 1]},
          kBlockSlotStarts[block],
          kBlockSlotStarts[block + 1] - kBlockSlotStarts[block] - 1,
          kSketches + block * polyphone_model::kSketchWords};
}

void PolyphoneModel::AddWeights(const Block& block, std::uint64_t key, std::span<std::int32_t> scores) const {
  const std::uint64_t* const keys = kFeatureKeys + block.firstSlot;
  for (std::size_t slot = key & block.slotMask; keys[slot] != 0; slot = (slot + 1) & block.slotMask) {
    if (keys[slot] != key) continue;
    const std::int16_t* const weights = kWeights + kFeatureWeightStarts[block.firstSlot + slot];
    for (std::size_t i = 0; i < scores.size(); ++i) scores[i] += weights[i];
    return;
  }
}

std::int32_t PolyphoneModel::Margin() const { return kMargin; }

std::span<const std::uint16_t> PolyphoneModel::CorrectedReading(std::u16string_view word) const {
  using polyphone_model::FirstUnitBit, polyphone_model::FirstUnitWord;
  if (word.empty() || (kCorrectedFirstUnits[FirstUnitWord(word[0])] & FirstUnitBit(word[0])) == 0) return {};
  const auto unitsOf = [](std::size_t w) {
    return std::u16string_view(kCorrectedUnits.data() + kCorrectedStarts[w],
                               kCorrectedStarts[w + 1] - kCorrectedStarts[w]);
  };
  // A binary search over word indices by hand: clang with this libstdc++ rejects ranges over iota_view.
  std::size_t low = 0, high = kCorrectedStarts.size() - 1;
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    if (unitsOf(middle) < word) low = middle + 1;
    else high = middle;
  }
  if (low == kCorrectedStarts.size() - 1 || unitsOf(low) != word) return {};
  return {kCorrectedReadings.data() + kCorrectedStarts[low], word.size()};
}

}  // namespace mibolan
