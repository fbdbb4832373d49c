#include "HtmlText.h"

#include <iterator>

#include <utf8.h>

namespace mibolan {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

const char* ReferenceFor(char16_t unit) {
  switch (unit) {
    case u'&': return "&amp;";
    case u'<': return "&lt;";
    case u'>': return "&gt;";
    case u'"': return "&quot;";
    case u'\'': return "&#39;";
    default: return nullptr;
  }
}

}  // namespace

void AppendHtmlText(std::string& out, std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (const char* reference = ReferenceFor(unit)) {
      out += reference;
    } else if (unit != 0 && unit < 0x80) {
      out.push_back(static_cast<char>(unit));
    } else {
      char32_t code = unit;
      if (utf8::internal::is_lead_surrogate(unit) && i + 1 < text.size() &&
          utf8::internal::is_trail_surrogate(text[i + 1])) {
        code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00u);
      } else if (unit == 0 || utf8::internal::is_surrogate(unit)) {
        code = kReplacement;
      }
      utf8::unchecked::append(code, std::back_inserter(out));
    }
  }
}

}  // namespace mibolan
