#include "PolyphoneModel.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "../UnitSet.h"

namespace mibolan {

namespace {
#include "PolyphoneModel.inc"

// The characters that have a block: most characters have none, and are told so at once.
constexpr UnitSet kModelled = [] {
  UnitSet units;
  for (char16_t character : kBlockCharacters) units.Insert(character);
  return units;
}();
}  // namespace

const PolyphoneModel& PolyphoneModel::Embedded() {
  static const PolyphoneModel model;
  return model;
}

PolyphoneModel::Block PolyphoneModel::BlockOf(char16_t character) const {
  if (!kModelled.Contains(character)) return {};
  const auto* const end = std::end(kBlockCharacters);
  const auto* const found = std::lower_bound(std::begin(kBlockCharacters), end, character);
  if (found == end || *found != character) return {};
  const auto block = static_cast<std::size_t>(found - std::begin(kBlockCharacters));
  return {character,
          {kReadings + kBlockReadingStarts[block], kReadings + kBlockReadingStarts[block + 1]},
          kBlockSlotStarts[block],
          kBlockSlotStarts[block + 1] - kBlockSlotStarts[block] - 1,
          kSketches + block * polyphone_model::kSketchWords};
}

void PolyphoneModel::AddWeights(const Block& block, std::u16string_view feature, std::span<std::int32_t> scores) const {
  const std::uint64_t key = polyphone_model::FeatureKey(block.character, feature);
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
