#pragma once

// What the tests compare between ways of reading: which characters the conversion converted,
// whatever readings it gave them.

#include <string>
#include <string_view>

#include "TransparentRuns.h"
#include "Utf.h"
#include "WordCharacters.h"

namespace mibolan::reference {

// The characters that the annotated style writes, without their readings.
inline std::u16string ConvertedCharacters(std::u16string_view annotated) {
  std::u16string characters;
  bool inReading = false;
  for (char16_t unit : annotated) {
    if (unit == u'(') inReading = true;
    if (!inReading) characters += unit;
    if (unit == u')') inReading = false;
  }
  return characters;
}

// Calls `take(code, units)` for each character of `text`, a surrogate pair whole.
template <class Take>
void ForEachCharacter(std::u16string_view text, Take take) {
  for (std::size_t at = 0; at < text.size(); ++at) {
    const bool pair = at + 1 < text.size() && IsLeadSurrogate(text[at]) && IsTrailSurrogate(text[at + 1]);
    const char32_t code = pair ? 0x10000 + ((char32_t{text[at]} - 0xD800) << 10) + (text[at + 1] - 0xDC00) : text[at];
    take(code, text.substr(at, pair ? 2 : 1));
    at += pair ? 1 : 0;
  }
}

// `text` without the invisible characters that reading by word sees through, which the annotated
// style keeps after the character they follow.
inline std::u16string WithoutInvisible(std::u16string_view text) {
  std::u16string visible;
  ForEachCharacter(text, [&](char32_t code, std::u16string_view units) {
    if (!IsTransparentToWords(code)) visible += units;
  });
  return visible;
}

// The characters of `text` that reading by word converts: those of the dictionary, and those
// beyond it that have a reading of their own.
inline std::u16string CharactersReadByWord(std::u16string_view text) {
  std::u16string read;
  ForEachCharacter(text, [&](char32_t code, std::u16string_view units) {
    if (ReadsByWord(code)) read += units;
  });
  return read;
}

}  // namespace mibolan::reference
