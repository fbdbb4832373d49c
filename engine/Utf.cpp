#include "Utf.h"

#include <iterator>

#include <utf8.h>

namespace mibolan {

void AppendUtf8(std::string& out, std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t code = text[i];
    if (IsLeadSurrogate(text[i]) && i + 1 < text.size() && IsTrailSurrogate(text[i + 1])) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00u);
    } else if (IsLeadSurrogate(text[i]) || IsTrailSurrogate(text[i])) {
      code = 0xFFFD;
    }
    utf8::unchecked::append(code, std::back_inserter(out));
  }
}

std::u16string ToUtf16(std::string_view text) {
  std::string valid;
  utf8::replace_invalid(text.begin(), text.end(), std::back_inserter(valid));
  std::u16string out;
  utf8::unchecked::utf8to16(valid.begin(), valid.end(), std::back_inserter(out));
  return out;
}

}  // namespace mibolan
