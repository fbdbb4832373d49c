#include "HtmlText.h"

#include <mibolan/Html.h>

#include "Utf.h"

namespace mibolan {

namespace {

// The character reference for a unit that HTML needs escaped (U+0000, which a page cannot hold,
// becomes U+FFFD), or nothing.
const char* ReferenceFor(char16_t unit) {
  switch (unit) {
    case u'&': return "&amp;";
    case u'<': return "&lt;";
    case u'>': return "&gt;";
    case u'"': return "&quot;";
    case u'\'': return "&#39;";
    case u'\0': return "\xEF\xBF\xBD";
    default: return nullptr;
  }
}

}  // namespace

void AppendHtmlText(std::string& out, std::u16string_view text) {
  std::size_t runStart = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (const char* reference = ReferenceFor(text[i])) {
      AppendUtf8(out, text.substr(runStart, i - runStart));
      out += reference;
      runStart = i + 1;
    }
  }
  AppendUtf8(out, text.substr(runStart));
}

std::string EscapeHtml(std::string_view text) {
  std::string out;
  AppendHtmlText(out, ToUtf16(text));
  return out;
}

}  // namespace mibolan
