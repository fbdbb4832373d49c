#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mibolan {

// What reading by word knows of characters beyond the dictionary's: the readings of those that
// have no line in it (data/character_readings.txt: Unihan's, 〇 líng, a compatibility ideograph
// its canonical character's), and the simplified form that stands for a traditional or variant
// character, or for a compatibility ideograph (data/simplified.txt).

inline constexpr std::uint16_t kNoOwnSyllable = 0xFFFF;

// The syllable id (word_table::SyllableId) of a character without a dictionary line, or
// kNoOwnSyllable.
std::uint16_t OwnSyllable(char32_t code);

// The own syllable of a character of the Basic Multilingual Plane without a dictionary line:
// that of its simplified form, else its own, else kNoOwnSyllable.
std::uint16_t OwnSyllableOfUnit(char16_t unit);

// Whether reading by word gives the character a reading.
bool ReadsByWord(char32_t code);

// A unit as reading by word looks it up in the dictionary, the word list, the context rules, the
// polyphone model and the user's words: its simplified form, or itself.
char16_t KeyUnit(char16_t unit);

// The text as reading by word looks it up: KeyUnit of each unit.
std::u16string KeyText(std::u16string_view text);

// Appends KeyText(text) to `key`.
void AppendKeyText(std::u16string_view text, std::u16string& key);

}  // namespace mibolan
