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

// Line breaks and tabs as \n, \r, \t, other invisible characters, lone surrogates among them,
// as \u{XXXX}, and the rest as UTF-8.
inline void AppendReadable(std::string& out, char32_t code) {
  if (code == U'\n' || code == U'\r' || code == U'\t') {
    out += code == U'\n' ? "\\n" : code == U'\r' ? "\\r" : "\\t";
  } else if (IsInvisible(code)) {
    out += CodeEscape(code);
  } else {
    utf8::append(code, std::back_inserter(out));
  }
}

// Text with its characters as AppendReadable writes them.
inline std::string Readable(std::u16string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t code = text[i];
    if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00u);
    }
    AppendReadable(out, code);
  }
  return out.empty() ? "(empty)" : out;
}

// Bytes with the characters of well-formed UTF-8 as AppendReadable writes them, and any other
// byte as \xHH.
inline std::string ReadableBytes(std::string_view bytes) {
  std::string out;
  char escape[8];
  for (auto at = bytes.begin(); at != bytes.end();) {
    auto next = at;
    try {
      AppendReadable(out, utf8::next(next, bytes.end()));
      at = next;
      continue;
    } catch (const utf8::exception&) {
    }
    std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(*at));
    out += escape;
    ++at;
  }
  return out.empty() ? "(empty)" : out;
}

}  // namespace mibolan::test
