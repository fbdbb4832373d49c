#pragma once

// UTF-8 and UTF-16: the conversions of whole strings, and the checks of single UTF-8 sequences
// that the decoder and the direct UTF-8 walk make while text streams through them.

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
constexpr bool IsTrailSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

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

// What DecodeUtf8Sequence answers besides a length.
inline constexpr int kUtf8NeedMore = 0;
inline constexpr int kUtf8IllFormed = -1;

inline bool IsUtf8Continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Decodes the character that starts `bytes` (not ASCII): its length in bytes, kUtf8NeedMore when
// `bytes` ends inside a well-formed start, or kUtf8IllFormed. The bounds of the second byte rule
// out overlong forms, surrogates and code points past U+10FFFF; every later byte is a plain
// continuation byte.
inline int DecodeUtf8Sequence(std::string_view bytes, char32_t& code) {
  struct Lead {
    int length;
    unsigned char secondLow;
    unsigned char secondHigh;
  };
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char first = byte(0);
  Lead lead{0, 0, 0};
  if (first >= 0xC2 && first <= 0xDF) lead = {2, 0x80, 0xBF};
  else if (first == 0xE0) lead = {3, 0xA0, 0xBF};
  else if (first == 0xED) lead = {3, 0x80, 0x9F};
  else if (first >= 0xE1 && first <= 0xEF) lead = {3, 0x80, 0xBF};
  else if (first == 0xF0) lead = {4, 0x90, 0xBF};
  else if (first >= 0xF1 && first <= 0xF3) lead = {4, 0x80, 0xBF};
  else if (first == 0xF4) lead = {4, 0x80, 0x8F};
  if (lead.length == 0) return kUtf8IllFormed;
  code = first & (0x7F >> lead.length);
  for (std::size_t i = 1; i < static_cast<std::size_t>(lead.length); ++i) {
    if (i >= bytes.size()) return kUtf8NeedMore;
    const bool fits = i == 1 ? byte(i) >= lead.secondLow && byte(i) <= lead.secondHigh : IsUtf8Continuation(byte(i));
    if (!fits) return kUtf8IllFormed;
    code = (code << 6) | (byte(i) & 0x3F);
  }
  return lead.length;
}

// Decodes the well-formed three-byte character at `data` (at least three bytes there), or
// gives 0 for anything else, overlong forms and surrogates included.
inline char16_t DecodeThreeByteUtf8(const unsigned char* data) {
  const std::uint32_t bytes =
      data[0] | static_cast<std::uint32_t>(data[1]) << 8 | static_cast<std::uint32_t>(data[2]) << 16;
  // 1110xxxx 10xxxxxx 10xxxxxx, first byte lowest.
  if ((bytes & 0xC0C0F0) != 0x8080E0) return 0;
  const std::uint32_t code = (bytes & 0x0F) << 12 | (bytes & 0x3F00) >> 2 | (bytes & 0x3F0000) >> 16;
  if (code < 0x800 || (code & 0xF800) == 0xD800) return 0;
  return static_cast<char16_t>(code);
}

// The end of the run of ASCII bytes that starts at `i`, looked for sixteen bytes at a time.
inline std::size_t EndOfAsciiRun(std::string_view bytes, std::size_t i) {
#if defined(__SSE2__)
  for (; i + 16 <= bytes.size(); i += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + i));
    if (const int high = _mm_movemask_epi8(block))
      return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(high)));
  }
#else
  constexpr std::uint64_t kHighBits = 0x8080808080808080;
  for (std::uint64_t word = 0; i + 8 <= bytes.size(); i += 8) {
    std::memcpy(&word, bytes.data() + i, sizeof word);
    if (word & kHighBits) break;
  }
#endif
  while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80) ++i;
  return i;
}

// The end of the run of ASCII units that starts at `i`, before `end`, looked for eight units at
// a time.
inline std::size_t EndOfAsciiUnits(std::u16string_view text, std::size_t i, std::size_t end) {
#if defined(__SSE2__)
  const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF80));
  for (; i + 8 <= end; i += 8) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
    const int ascii = _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(block, high), _mm_setzero_si128()));
    if (ascii != 0xFFFF) return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(~ascii))) / 2;
  }
#endif
  while (i < end && text[i] < 0x80) ++i;
  return i;
}

}  // namespace mibolan
