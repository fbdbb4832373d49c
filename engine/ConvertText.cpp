#include <mibolan/ConvertText.h>

#include <mibolan/StreamConverter.h>

#include "ConversionPass.h"
#include "ReadingPass.h"

namespace mibolan {

std::u16string ConvertText(std::u16string_view text, Style style) {
  return ConvertText(text, ConversionOptions{.style = style});
}

std::u16string ConvertText(std::u16string_view text, const ConversionOptions& options) {
  if (!TakesDirectWalk(options) || options.lineBreaks == LineBreaks::Keep) {
    StreamConverter converter(options);
    std::string converted;
    converter.Feed(text, converted);
    converter.Finish(converted);
    return ToUtf16(converted);
  }
  std::u16string output;
  // Room for the usual case, a few letters per character, so a long text grows no more than once
  // or twice; only the pages actually written are ever touched.
  output.reserve(text.size() * 2);
  AppendConverted(text, 0, text.size(), ConversionTables::Get(), options.style, output);
  return output;
}

}  // namespace mibolan
