#include "HtmlText.h"

#include <array>

#include "Utf.h"

namespace mibolan {

namespace {

constexpr std::string_view kReplacement = "\uFFFD";

// The UTF-8 of the Control Pictures U+2400 to U+241F, which show the control characters U+0000
// to U+001F.
constexpr auto kControlPictures = [] {
  std::array<std::array<char, 3>, 0x20> pictures{};
  for (std::size_t i = 0; i < pictures.size(); ++i) {
    pictures[i] = {'\xE2', '\x90', static_cast<char>(0x80 + i)};
  }
  return pictures;
}();

constexpr bool IsBidiEmbeddingOrIsolate(char16_t unit) {
  return (unit >= 0x202A && unit <= 0x202E) || (unit >= 0x2066 && unit <= 0x2069);
}

// What the page shows in place of `unit`, or nothing when the unit shows as itself.
std::string_view ShownAs(char16_t unit) {
  switch (unit) {
    case u'&': return "&amp;";
    case u'<': return "&lt;";
    case u'>': return "&gt;";
    case u'"': return "&quot;";
    case u'\'': return "&#39;";
    case u'\0': return kReplacement;
    case u'\t':
    case u'\n':
    case u'\r': return {};
    case u'\x7F': return "\u2421";
    default: break;
  }
  if (unit < kControlPictures.size()) return {kControlPictures[unit].data(), kControlPictures[unit].size()};
  if ((unit >= 0x80 && unit <= 0x9F) || IsBidiEmbeddingOrIsolate(unit)) return kReplacement;
  return {};
}

}  // namespace

void AppendHtmlText(std::string& out, std::u16string_view text) {
  std::size_t runStart = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::string_view shown = ShownAs(text[i]);
    if (!shown.empty()) {
      AppendUtf8(out, text.substr(runStart, i - runStart));
      out += shown;
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
