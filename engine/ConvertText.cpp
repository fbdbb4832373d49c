#include "ConvertText.h"

#include "ConversionPass.h"
#include "StreamConverter.h"

namespace mibolan {

std::u16string ConvertText(std::u16string_view text, const CharDictionary& dictionary, Style style) {
  if (style == Style::Html) {
    StreamConverter converter(dictionary, style);
    std::string html;
    converter.Feed(text, html);
    converter.Finish(html);
    return ToUtf16(html);
  }
  std::u16string output;
  ConvertRange(text, 0, text.size(), dictionary, [&](char16_t character, const ReadingForms& forms) {
    AppendConverted(output, style, character, forms);
  });
  return output;
}

}  // namespace mibolan
