#pragma once

// Checks of single UTF-8 sequences, shared by the decoder and the direct converter.

#include <cstdint>
#include <cstring>
#include <string_view>

namespace mibolan::utf8 {

inline constexpr int kNeedMore = 0;
inline constexpr int kIllFormed = -1;

inline bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The bounds of a sequence's second byte, which rule out overlong forms, surrogates and
// code points past U+10FFFF; every later byte is a plain continuation byte.
struct Lead {
  int length;
  unsigned char secondLow;
  unsigned char secondHigh;
};

inline Lead LeadOf(unsigned char byte) {
  if (byte >= 0xC2 && byte <= 0xDF) return {2, 0x80, 0xBF};
  if (byte == 0xE0) return {3, 0xA0, 0xBF};
  if (byte == 0xED) return {3, 0x80, 0x9F};
  if (byte >= 0xE1 && byte <= 0xEF) return {3, 0x80, 0xBF};
  if (byte == 0xF0) return {4, 0x90, 0xBF};
  if (byte >= 0xF1 && byte <= 0xF3) return {4, 0x80, 0xBF};
  if (byte == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

// Decodes the character that starts `bytes` (not ASCII): its length in bytes, kNeedMore when
// `bytes` ends inside a well-formed start, or kIllFormed.
inline int DecodeOne(std::string_view bytes, char32_t& code) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const Lead lead = LeadOf(byte(0));
  if (lead.length == 0) return kIllFormed;
  code = byte(0) & (0x7F >> lead.length);
  for (std::size_t i = 1; i < static_cast<std::size_t>(lead.length); ++i) {
    if (i >= bytes.size()) return kNeedMore;
    const bool fits = i == 1 ? byte(i) >= lead.secondLow && byte(i) <= lead.secondHigh : IsContinuation(byte(i));
    if (!fits) return kIllFormed;
    code = (code << 6) | (byte(i) & 0x3F);
  }
  return lead.length;
}

// Decodes the well-formed three-byte character at `data` (at least three bytes there), or
// gives 0 for anything else, overlong forms and surrogates included.
inline char16_t DecodeThreeBytes(const unsigned char* data) {
  const unsigned lead = data[0];
  const unsigned second = data[1];
  const unsigned third = data[2];
  if ((lead & 0xF0) != 0xE0 || !IsContinuation(static_cast<unsigned char>(second)) ||
      !IsContinuation(static_cast<unsigned char>(third))) {
    return 0;
  }
  const unsigned code = ((lead & 0x0F) << 12) | ((second & 0x3F) << 6) | (third & 0x3F);
  if (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return static_cast<char16_t>(code);
}

// The end of the run of ASCII bytes that starts at `i`, looked for eight bytes at a time.
inline std::size_t EndOfAsciiRun(std::string_view bytes, std::size_t i) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080;
  for (std::uint64_t word = 0; i + 8 <= bytes.size(); i += 8) {
    std::memcpy(&word, bytes.data() + i, sizeof word);
    if (word & kHighBits) break;
  }
  while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80) ++i;
  return i;
}

// Writes a code point as one UTF-16 unit or a surrogate pair at `at`; returns the end.
inline char16_t* WriteUtf16(char32_t code, char16_t* at) {
  if (code < 0x10000) {
    *at++ = static_cast<char16_t>(code);
  } else {
    code -= 0x10000;
    *at++ = static_cast<char16_t>(0xD800 + (code >> 10));
    *at++ = static_cast<char16_t>(0xDC00 + (code & 0x3FF));
  }
  return at;
}

}  // namespace mibolan::utf8
