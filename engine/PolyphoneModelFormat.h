#pragma once

// What engine/generators/embed_polyphone_model.cpp and the engine agree on: how a feature of a character is
// found in the model's table.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace mibolan::polyphone_model {

// FNV-1a over UTF-16 units, a unit at a time. A feature's key hashes the character, a tab and the
// feature's text ("L1=局"), so that all the keys of one character go on from the same start.
class FeatureHash {
 public:
  constexpr explicit FeatureHash(char16_t character) {
    Add(character);
    Add(u'\t');
  }

  constexpr FeatureHash& Add(char16_t unit) {
    hash_ ^= unit;
    hash_ *= 0x100000001B3;
    return *this;
  }
  constexpr FeatureHash& Add(std::u16string_view units) {
    for (char16_t unit : units) Add(unit);
    return *this;
  }

  // The key, never 0, which marks an empty slot.
  constexpr std::uint64_t Key() const { return hash_ == 0 ? 1 : hash_; }

 private:
  std::uint64_t hash_ = 0xCBF29CE484222325;
};

constexpr std::uint64_t FeatureKey(char16_t character, std::u16string_view feature) {
  return FeatureHash(character).Add(feature).Key();
}

// The features that name a neighbour ("L1=局", "LR=局长": the characters two before, one before,
// one after, two after, and one before and after). For each block the table keeps a sketch of
// these: a bit for each name and first unit of a value that the block has, so that most look-ups
// of a neighbour that the block knows nothing of end at one bit, before any hashing.
inline constexpr std::u16string_view kNeighbourNames[] = {u"L2=", u"L1=", u"R1=", u"R2=", u"LR="};
inline constexpr std::size_t kSketchWords = 16;  // 1,024 bits a block
constexpr std::size_t SketchBit(std::size_t name, char16_t firstUnit) {
  return ((std::uint32_t{firstUnit} << 3 | static_cast<std::uint32_t>(name)) * 0x9E3779B1u) >> 22;
}

// The first units of the corrected words, as bits of a small table: unit u sets bit
// FirstUnitBit(u) of word FirstUnitWord(u). Units that share a bit only cost a closer look.
inline constexpr std::size_t kFirstUnitWords = 64;
constexpr std::size_t FirstUnitWord(char16_t unit) { return (unit >> 6) % kFirstUnitWords; }
constexpr std::uint64_t FirstUnitBit(char16_t unit) { return std::uint64_t{1} << (unit & 63); }

}  // namespace mibolan::polyphone_model
