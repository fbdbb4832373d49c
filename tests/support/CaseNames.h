#pragma once

// Readable names for the cases of table-driven tests: CTest names each case after what its
// parameter prints, so a case prints its own contents, the same in every build.

#include <cstdio>
#include <string>
#include <string_view>

namespace mibolan::test {

// Text as UTF-8 with line breaks, tabs, other controls and lone surrogates written as escapes.
inline std::string Readable(std::u16string_view text) {
  std::string out;
  char escape[8];
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t unit = text[i];
    if (unit == u'\n') {
      out += "\\n";
    } else if (unit == u'\r') {
      out += "\\r";
    } else if (unit == u'\t') {
      out += "\\t";
    } else if (unit < 0x20 || unit == 0x7F || (unit >= 0xD800 && unit <= 0xDFFF)) {
      std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(unit));
      out += escape;
    } else if (unit < 0x80) {
      out += static_cast<char>(unit);
    } else if (unit < 0x800) {
      out += static_cast<char>(0xC0 | (unit >> 6));
      out += static_cast<char>(0x80 | (unit & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (unit >> 12));
      out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (unit & 0x3F));
    }
  }
  return out.empty() ? "(empty)" : out;
}

// Bytes as UTF-8 where they are printable ASCII, and as \xHH otherwise.
inline std::string ReadableBytes(std::string_view bytes) {
  std::string out;
  char escape[8];
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F) {
      out += c;
    } else {
      std::snprintf(escape, sizeof escape, "\\x%02X", byte);
      out += escape;
    }
  }
  return out.empty() ? "(empty)" : out;
}

}  // namespace mibolan::test
