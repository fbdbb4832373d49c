#pragma once

#include <string>
#include <string_view>

namespace mibolan {

// Appends UTF-16 text as UTF-8. A lone surrogate is written as U+FFFD, never dropped silently.
void AppendUtf8(std::string& out, std::u16string_view text);

inline std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  AppendUtf8(out, text);
  return out;
}

// Valid UTF-8 text to UTF-16; invalid input gives U+FFFD in place of each bad sequence.
std::u16string ToUtf16(std::string_view text);

constexpr bool IsLeadSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

// Writes one BMP unit as UTF-8 at `at` and returns the end (surrogates excepted: callers pass
// converted characters only).
inline char* WriteUtf8(char* at, char16_t unit) {
  if (unit < 0x80) {
    *at++ = static_cast<char>(unit);
  } else if (unit < 0x800) {
    *at++ = static_cast<char>(0xC0 | (unit >> 6));
    *at++ = static_cast<char>(0x80 | (unit & 0x3F));
  } else {
    *at++ = static_cast<char>(0xE0 | (unit >> 12));
    *at++ = static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
    *at++ = static_cast<char>(0x80 | (unit & 0x3F));
  }
  return at;
}

inline void AppendUtf8(std::string& out, char16_t unit) {
  char bytes[3];
  out.append(bytes, WriteUtf8(bytes, unit));
}

}  // namespace mibolan
