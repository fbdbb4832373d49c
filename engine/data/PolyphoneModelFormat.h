#pragma once

// What tools/embed_polyphone_model.cpp and the engine agree on: how a feature of a character is
// found in the model's table.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace mibolan::polyphone_model {

// FNV-1a over the character, a tab and the feature's text ("L1=局"), in UTF-16 units; never 0,
// which marks an empty slot.
constexpr std::uint64_t FeatureKey(char16_t character, std::u16string_view feature) {
  std::uint64_t hash = 0xCBF29CE484222325;
  const auto add = [&](char16_t unit) {
    hash ^= unit;
    hash *= 0x100000001B3;
  };
  add(character);
  add(u'\t');
  for (char16_t unit : feature) add(unit);
  return hash == 0 ? 1 : hash;
}

// The first units of the corrected words, as bits of a small table: unit u sets bit
// FirstUnitBit(u) of word FirstUnitWord(u). Units that share a bit only cost a closer look.
inline constexpr std::size_t kFirstUnitWords = 64;
constexpr std::size_t FirstUnitWord(char16_t unit) { return (unit >> 6) % kFirstUnitWords; }
constexpr std::uint64_t FirstUnitBit(char16_t unit) { return std::uint64_t{1} << (unit & 63); }

}  // namespace mibolan::polyphone_model
