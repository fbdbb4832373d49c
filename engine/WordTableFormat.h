#pragma once

// The layout of the word table, which engine/generators/embed_words.cpp writes at build time and WordList
// reads in place: a header, then its arrays one after the other, each aligned to sixteen bytes,
// in the order of the fields that give their lengths.

#include <cstdint>

namespace mibolan::word_table {

inline constexpr std::uint32_t kMagic = 0x4D425734;  // "MBW4"

// Longest word, in UTF-16 units; the look-ahead of segmentation.
inline constexpr std::uint32_t kMaxWordLength = 32;

// A word's cost is how unlikely it is: floor(kCostScale * ln(total / frequency) + 0.5), the total
// being the sum of all the list's frequencies; a character without an entry costs as frequency 1.
inline constexpr double kCostScale = 100.0;

// A slot of the double-array trie, everything a step of the walk reads in one record: the
// child of slot s by letter c is base[s] + c when that slot's check is s; the word that ends at
// the slot and its cost. Four records share a cache line and none straddles two.
struct Slot {
  std::int32_t base;
  std::int32_t check;
  std::int32_t word;  // WordCode(), or -1 when no word ends here
  std::int32_t cost;
};
static_assert(sizeof(Slot) == 16);

// The trie's edges (a slot and a letter code that has a child there) hashed into a set of bits
// small enough to stay in a core's cache: most steps of the walk find no child, and the set
// tells so without reading the slot that would hold it, far away in the trie.
inline constexpr std::uint32_t kEdgeBits = 21;
constexpr std::uint32_t EdgeBit(std::uint32_t slot, std::uint32_t code) {
  return (slot * 0x9E3779B1u + code * 0x85EBCA77u) >> (32 - kEdgeBits);
}

// A word as the trie holds it: where its syllables start among all the words' syllables, so
// that its reading is found without an index in between; 0 for a word read character by
// character.
constexpr std::int32_t WordCode(bool hasReading, std::uint32_t syllablesStart) {
  return hasReading ? static_cast<std::int32_t>(syllablesStart << 1 | 1) : 0;
}
constexpr bool HasReading(std::int32_t wordCode) { return (wordCode & 1) != 0; }
constexpr std::uint32_t SyllablesStart(std::int32_t wordCode) { return static_cast<std::uint32_t>(wordCode) >> 1; }

struct Header {
  std::uint32_t magic;
  std::uint32_t alphabetSize;  // letter codes run from 1 to alphabetSize; 0 is no letter
  std::uint32_t slotCount;     // of the double-array trie
  std::uint32_t wordCount;
  std::uint32_t syllableCount;  // of all word readings together
  std::int32_t unknownCost;     // the cost of a character that no entry has
  // Arrays that follow:
  //   std::uint16_t letterCode[65536]     letter code of each UTF-16 unit
  //   std::uint64_t edges[2^kEdgeBits / 64]  bit EdgeBit(s, c) set for every child of s by c
  //   Slot          slots[slotCount]      the trie
  //   std::uint16_t syllables[syllableCount]     the words' syllable ids (SyllableId()), one per unit
};

// A numbered syllable as a number: 5 * (its line in syllables.txt, from 0) + tone - 1.
inline constexpr std::uint32_t kTones = 5;
constexpr std::uint16_t SyllableId(std::uint32_t syllableIndex, std::uint32_t tone) {
  return static_cast<std::uint16_t>(kTones * syllableIndex + tone - 1);
}
constexpr std::uint32_t SyllableIndexOf(std::uint16_t id) { return id / kTones; }
constexpr std::uint32_t ToneOf(std::uint16_t id) { return id % kTones + 1; }

}  // namespace mibolan::word_table
