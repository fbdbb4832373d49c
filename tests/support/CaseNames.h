#pragma once

// Readable names for the cases of table-driven tests: CTest names each case after what its
// parameter prints, so a case prints its own contents, the same in every build.

#include <cstdio>
#include <iterator>
#include <string>
#include <string_view>

#include <utf8.h>

namespace mibolan::test {

// Characters that show as nothing or as something else: controls, format characters,
// separators of lines and paragraphs, noncharacters and private use.
inline bool IsInvisible(char32_t code) {
  return code < 0x20 || (code >= 0x7F && code < 0xA0) || code == 0xAD || (code >= 0x200B && code <= 0x200F) ||
         (code >= 0x2028 && code <= 0x202E) || (code >= 0x2060 && code <= 0x206F) || code == 0xFEFF ||
         (code >= 0xD800 && code <= 0xF8FF) || code >= 0xFFF0;
}

inline std::string CodeEscape(char32_t code) {
  char escape[16];
  std::snprintf(escape, sizeof escape, "\\u{%X}", static_cast<unsigned>(code));
  return escape;
}

// Text as UTF-8, with line breaks and tabs as \n, \r, \t and other invisible characters, lone
// surrogates among them, as \u{XXXX}.
inline std::string Readable(std::u16string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t code = text[i];
    if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00u);
    }
    if (code == u'\n' || code == u'\r' || code == u'\t') {
      out += code == u'\n' ? "\\n" : code == u'\r' ? "\\r" : "\\t";
    } else if (IsInvisible(code)) {
      out += CodeEscape(code);
    } else {
      utf8::append(code, std::back_inserter(out));
    }
  }
  return out.empty() ? "(empty)" : out;
}

// Bytes as text where they are well-formed UTF-8 of printable characters, escaped otherwise:
// line breaks and tabs as \n, \r, \t, any other byte as \xHH.
inline std::string ReadableBytes(std::string_view bytes) {
  std::string out;
  char escape[8];
  for (auto at = bytes.begin(); at != bytes.end();) {
    const auto byte = static_cast<unsigned char>(*at);
    if (byte == '\n' || byte == '\r' || byte == '\t') {
      out += byte == '\n' ? "\\n" : byte == '\r' ? "\\r" : "\\t";
      ++at;
      continue;
    }
    auto next = at;
    try {
      const char32_t code = utf8::next(next, bytes.end());
      if (!IsInvisible(code)) {
        out.append(at, next);
      } else {
        out += CodeEscape(code);
      }
      at = next;
      continue;
    } catch (const utf8::exception&) {
    }
    std::snprintf(escape, sizeof escape, "\\x%02X", byte);
    out += escape;
    ++at;
  }
  return out.empty() ? "(empty)" : out;
}

}  // namespace mibolan::test
