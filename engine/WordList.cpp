#include "WordList.h"

#include <iterator>
#include <stdexcept>
#include <string_view>

namespace mibolan {

namespace {
#include "WordTable.inc"

// The header and the arrays of the image lie one after the other, each starting on a
// sixteen-byte boundary.
template <class T>
const T* TakeArray(const char*& at, std::size_t count) {
  const T* array = reinterpret_cast<const T*>(at);
  at += (count * sizeof(T) + 15) / 16 * 16;
  return array;
}
}  // namespace

std::size_t WordList::SyllableIdCount() { return word_table::kTones * std::size(kSyllables); }

std::string WordList::NumberedSyllable(std::uint16_t id) {
  return std::string(kSyllables[word_table::SyllableIndexOf(id)]) + static_cast<char>('0' + word_table::ToneOf(id));
}

const WordList& WordList::Embedded() {
  static const WordList words(kWordTable);
  return words;
}

WordList::WordList(const char* image) {
  word_table::Header header;
  std::memcpy(&header, image, sizeof header);
  if (header.magic != word_table::kMagic) throw std::logic_error("the embedded word table is damaged");
  const char* at = image;
  TakeArray<word_table::Header>(at, 1);
  letterCode_ = TakeArray<std::uint16_t>(at, 0x10000);
  edges_ = TakeArray<std::uint64_t>(at, (std::size_t{1} << word_table::kEdgeBits) / 64);
  slots_ = TakeArray<word_table::Slot>(at, header.slotCount);
  syllables_ = TakeArray<std::uint16_t>(at, header.syllableCount);
  unknownCost_ = header.unknownCost;
}

}  // namespace mibolan
