#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <mibolan/Style.h>

#include "ShortText.h"

namespace mibolan {

// A reading as one style writes it, padded to a fixed size so that the pass copies every
// record the same way, without a call or a loop per character.
template <class Char>
struct Fragment {
  static constexpr std::size_t kCapacity = 16 / sizeof(Char);
  std::array<Char, kCapacity> text{};
  std::uint8_t size = 0;
};

// What the conversion pass looks up, computed from the built-in dictionary, the context rules and
// the syllable list at build time (engine/generators/embed_conversion_tables.cpp): one entry for every UTF-16
// unit, and every reading in every form that the plain styles write.
class ConversionTables {
 public:
  // Reading index: 1 to the dictionary's reading count for its readings, after them one per
  // context rule, then one per numbered syllable of the syllable list; 0 for a unit that is
  // not converted.
  using ReadingIndex = std::uint16_t;
  static constexpr std::uint16_t kHasContextRules = 0x8000;
  static constexpr std::uint16_t kNoSyllable = 0xFFFF;

  static const ConversionTables& Get();

  // 0 when the unit fails the code page 936 double-byte test or heads no dictionary line;
  // otherwise its dictionary reading, with kHasContextRules set for the rules' characters.
  std::uint16_t Entry(char16_t unit) const { return entries_[unit]; }
  const std::uint16_t* Entries() const { return entries_; }

  ReadingIndex RuleReading(int rule) const {
    return static_cast<ReadingIndex>(firstRuleReading_ + static_cast<std::size_t>(rule));
  }

  // The reading of a syllable id (word_table::SyllableId), and the syllable id of a reading.
  ReadingIndex SyllableReading(std::uint16_t syllableId) const {
    return static_cast<ReadingIndex>(firstSyllableReading_ + syllableId);
  }
  std::uint16_t SyllableIdOf(ReadingIndex reading) const { return syllableIds_[reading]; }

  // The reading as a numbered syllable, "ren2" (or a rule's reading without digit, "huo").
  std::string_view Numbered(ReadingIndex reading) const { return numbered_[reading].View(); }

  // The tone digit of a reading, '1' to '5', or 0 for a reading without one.
  char Tone(ReadingIndex reading) const {
    const std::string_view numbered = Numbered(reading);
    return !numbered.empty() && numbered.back() >= '1' && numbered.back() <= '5' ? numbered.back() : 0;
  }

  // What `style` writes for each reading, indexed by reading: after the character in the
  // annotated style, alone in the others; reading 0 has the empty fragment. Not for
  // Style::Html, whose fragments do not fit.
  template <class Char>
  const Fragment<Char>* Fragments(Style style) const {
    if constexpr (sizeof(Char) == 1) {
      return utf8_[static_cast<std::size_t>(style)];
    } else {
      return utf16_[static_cast<std::size_t>(style)];
    }
  }

  static constexpr std::size_t kFragmentStyles = 3;  // Pinyin, Annotated, Numbers

 private:
  using Utf8Fragments = std::array<const Fragment<char>*, kFragmentStyles>;
  using Utf16Fragments = std::array<const Fragment<char16_t>*, kFragmentStyles>;

  constexpr ConversionTables(const std::uint16_t* entries, std::size_t firstRuleReading,
                             std::size_t firstSyllableReading, const ShortText* numbered,
                             const std::uint16_t* syllableIds, Utf8Fragments utf8, Utf16Fragments utf16)
      : entries_(entries),
        firstRuleReading_(firstRuleReading),
        firstSyllableReading_(firstSyllableReading),
        numbered_(numbered),
        syllableIds_(syllableIds),
        utf8_(utf8),
        utf16_(utf16) {}

  const std::uint16_t* entries_;
  std::size_t firstRuleReading_;
  std::size_t firstSyllableReading_;
  const ShortText* numbered_;
  const std::uint16_t* syllableIds_;
  Utf8Fragments utf8_;
  Utf16Fragments utf16_;
};

using ReadingIndex = ConversionTables::ReadingIndex;

}  // namespace mibolan
