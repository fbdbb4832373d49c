#include "ConvertText.h"

#include "ConversionPass.h"

namespace mibolan {

std::u16string ConvertText(std::u16string_view text, const CharDictionary& dictionary, Style style) {
  std::u16string output;
  ConvertRange(text, 0, text.size(), dictionary, [&](char16_t character, const ReadingForms& forms) {
    AppendConverted(output, style, character, forms);
  });
  return output;
}

}  // namespace mibolan
