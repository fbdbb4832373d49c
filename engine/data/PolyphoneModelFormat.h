#pragma once

// What tools/embed_polyphone_model.cpp and the engine agree on: how a feature of a character is
// found in the model's table.

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

}  // namespace mibolan::polyphone_model
