#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "ConversionTables.h"
#include "WordTableFormat.h"

namespace mibolan {

// Whether the character's tone may change with the reading that follows: 一 and 不.
constexpr bool ChangesTone(char16_t character) { return character == u'一' || character == u'不'; }

// The syllable `syllableId` with the tone `tone`, '1' to '5'.
inline std::uint16_t SyllableWithTone(std::uint16_t syllableId, char tone) {
  return word_table::SyllableId(word_table::SyllableIndexOf(syllableId), static_cast<std::uint32_t>(tone - '0'));
}

// A word's syllable for `character` when the tone changes are off: the word list marks 不
// unstressed where textbooks print it so (对不起 duì bu qǐ), and without the tone changes it
// keeps its own tone there, bù. Every other syllable stays.
// Inline: reading by word asks it of every syllable of its words.
inline std::uint16_t WordSyllableWithoutToneChanges(char16_t character, std::uint16_t syllable) {
  if (character != u'不' || word_table::ToneOf(syllable) != 5) return syllable;
  return SyllableWithTone(syllable, '4');
}

// Where the character stands in the word of the segmentation that holds it.
struct WordPlace {
  bool endsWord = false;        // it ends a word of two or more characters
  bool goesOnPastNext = false;  // its word goes on past the character after it (数一数二)
  bool afterWord = false;       // the character before it ends a word of two or more (可能不能)
};

// The reading of 一 or 不 (ChangesTone) at `index` of `text` with the tone changes that school
// textbooks print, given the readings decided for the text around it (`readings`, parallel to
// `text`, with the one after `index` decided too where the text goes on) and its place in its word.
ReadingIndex ToneAfterSandhi(std::u16string_view text, std::size_t index, const std::vector<ReadingIndex>& readings,
                             WordPlace place, const ConversionTables& tables);

}  // namespace mibolan
