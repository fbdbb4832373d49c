#pragma once

// What the tests compare between ways of reading: which characters the conversion converted,
// whatever readings it gave them.

#include <string>
#include <string_view>

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

}  // namespace mibolan::reference
