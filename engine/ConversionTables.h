#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <mibolan/Style.h>

namespace mibolan {

// A reading as one style writes it, padded to a fixed size so that the pass copies every
// record the same way, without a call or a loop per character.
template <class Char>
struct Fragment {
  static constexpr std::size_t kCapacity = 16 / sizeof(Char);
  std::array<Char, kCapacity> text{};
  std::uint8_t size = 0;
};

// What the conversion pass looks up, made once from the built-in dictionary and the context
// rules: one entry for every UTF-16 unit, and every reading (the dictionary's, then the rules')
// in every output form.
class ConversionTables {
 public:
  // Reading index: 1 to the dictionary's reading count for its readings, after them one per
  // context rule, then one per numbered syllable of the word list's ids; 0 for a unit that is
  // not converted.
  using ReadingIndex = std::uint16_t;
  static constexpr std::uint16_t kHasContextRules = 0x8000;
  static constexpr std::uint16_t kNoSyllable = 0xFFFF;

  static const ConversionTables& Get();

  // 0 when the unit fails the code page 936 double-byte test or heads no dictionary line;
  // otherwise its dictionary reading, with kHasContextRules set for the rules' characters.
  std::uint16_t Entry(char16_t unit) const { return entries_[unit]; }
  const std::uint16_t* Entries() const { return entries_.data(); }

  ReadingIndex RuleReading(int rule) const {
    return static_cast<ReadingIndex>(firstRuleReading_ + static_cast<std::size_t>(rule));
  }

  // The reading of a syllable id (word_table::SyllableId), and the syllable id of a reading.
  ReadingIndex SyllableReading(std::uint16_t syllableId) const {
    return static_cast<ReadingIndex>(firstSyllableReading_ + syllableId);
  }
  std::uint16_t SyllableIdOf(ReadingIndex reading) const { return syllableIds_[reading]; }

  // The tone digit of a reading, '1' to '5', or 0 for a reading without one.
  char Tone(ReadingIndex reading) const {
    const std::string_view numbered = numbered_[reading];
    return !numbered.empty() && numbered.back() >= '1' && numbered.back() <= '5' ? numbered.back() : 0;
  }

  // The reading as a numbered syllable, "ren2" (or a rule's reading without digit, "huo").
  std::string_view Numbered(ReadingIndex reading) const { return numbered_[reading]; }

  // What the html style writes after the character: "<rp>(</rp><rt>rén</rt><rp>)</rp>".
  const std::string& RubyText(ReadingIndex reading) const { return rubies_[reading]; }

  // What `style` writes for each reading, indexed by reading: after the character in the
  // annotated style, alone in the others; reading 0 has the empty fragment. Not for
  // Style::Html, whose fragments do not fit.
  template <class Char>
  const Fragment<Char>* Fragments(Style style) const {
    if constexpr (sizeof(Char) == 1) {
      return utf8_[static_cast<std::size_t>(style)].data();
    } else {
      return utf16_[static_cast<std::size_t>(style)].data();
    }
  }

 private:
  ConversionTables();

  static constexpr std::size_t kFragmentStyles = 3;  // Pinyin, Annotated, Numbers

  std::vector<std::uint16_t> entries_;
  std::size_t firstRuleReading_;
  std::size_t firstSyllableReading_;
  std::vector<std::string> numbered_;
  std::vector<std::uint16_t> syllableIds_;  // kNoSyllable for a reading that is not a numbered syllable
  std::vector<std::string> rubies_;
  std::array<std::vector<Fragment<char>>, kFragmentStyles> utf8_;
  std::array<std::vector<Fragment<char16_t>>, kFragmentStyles> utf16_;
};

using ReadingIndex = ConversionTables::ReadingIndex;

}  // namespace mibolan
