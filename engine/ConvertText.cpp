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
  // Room for the usual case, a few letters per character, so a long text grows no more than once
  // or twice; only the pages actually written are ever touched.
  output.reserve(text.size() * 2);
  AppendConverted(text, 0, text.size(), ConversionTables::For(dictionary), style, output);
  return output;
}

}  // namespace mibolan
