#pragma once

#include <string>
#include <string_view>

namespace mibolan {

// Whether reading by word gives the character a reading.
bool ReadsByWord(char32_t code);

// A unit as reading by word looks it up in the word list, the polyphone model and the user's
// words.
char16_t KeyUnit(char16_t unit);

// The text as reading by word looks it up: KeyUnit of each unit.
std::u16string KeyText(std::u16string_view text);

}  // namespace mibolan
