#include "PolyphoneModel.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "../UnitSet.h"

namespace mibolan {

namespace {
#include "PolyphoneModel.inc"

constexpr std::size_t kCapacity = std::size(kFeatureKeys);
static_assert((kCapacity & (kCapacity - 1)) == 0, "the feature table's size is a power of two");

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

std::span<const std::uint16_t> PolyphoneModel::Readings(char16_t character) const {
  if (!kModelled.Contains(character)) return {};
  const auto* const end = std::end(kBlockCharacters);
  const auto* const found = std::lower_bound(std::begin(kBlockCharacters), end, character);
  if (found == end || *found != character) return {};
  const auto block = static_cast<std::size_t>(found - std::begin(kBlockCharacters));
  return {kReadings + kBlockReadingStarts[block], kReadings + kBlockReadingStarts[block + 1]};
}

void PolyphoneModel::AddWeights(char16_t character, std::u16string_view feature, std::span<std::int32_t> scores) const {
  const std::uint64_t key = polyphone_model::FeatureKey(character, feature);
  for (std::size_t slot = key & (kCapacity - 1); kFeatureKeys[slot] != 0; slot = (slot + 1) & (kCapacity - 1)) {
    if (kFeatureKeys[slot] != key) continue;
    const std::int16_t* const weights = kWeights + kFeatureWeightStarts[slot];
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
