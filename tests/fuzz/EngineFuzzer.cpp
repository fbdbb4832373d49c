// Fuzzes the engine with arbitrary UTF-16: no crash, no undefined behaviour, and the same output
// whether the text is converted whole, streamed in pieces, or (short texts) converted literally.
// Input: one byte that chooses the pieces, then the text's units, little-endian.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "ConvertText.h"
#include "FuzzChecks.h"
#include "ReferencePass.h"
#include "StreamConverter.h"
#include "Utf.h"
#include "data/CharDictionary.h"

namespace mibolan::fuzz {
namespace {

// The literal conversion searches the whole dictionary per character: only short texts.
constexpr std::size_t kReferenceLength = 8;

std::string Stream(std::u16string_view text, Style style, LineBreaks lineBreaks, std::uint32_t seed) {
  StreamConverter converter(CharDictionary::Embedded(), style, lineBreaks);
  std::string out;
  for (std::size_t length : PieceLengths(text.size(), seed)) {
    converter.Feed(text.substr(0, length), out);
    text.remove_prefix(length);
  }
  converter.Finish(out);
  return out;
}

void CheckStyle(std::u16string_view text, Style style, std::uint32_t seed) {
  const std::u16string whole = ConvertText(text, CharDictionary::Embedded(), style);
  const std::string whole8 = ToUtf8(whole);
  Check(Stream(text, style, LineBreaks::Drop, seed) == whole8, "streamed in pieces == converted whole");
  const std::string kept = Stream(text, style, LineBreaks::Keep, seed);
  Check(WithoutLineEnds(kept) == whole8, "kept lines, line ends taken out == converted whole");
  Check(std::count(kept.begin(), kept.end(), '\n') == std::count(text.begin(), text.end(), u'\n'),
        "kept lines: one line end per line feed");
  if (text.size() <= kReferenceLength) {
    const bool annotated = style == Style::Annotated;
    const std::u16string literal =
        reference::ReferenceConvertText(text, reference::EmbeddedDictionaryParts(), annotated, !annotated);
    Check(whole == literal, "engine == literal conversion");
  }
}

}  // namespace
}  // namespace mibolan::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint32_t seed = data[0];
  std::u16string text;
  for (std::size_t i = 1; i + 1 < size; i += 2) text.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
  mibolan::fuzz::CheckStyle(text, mibolan::Style::Pinyin, seed);
  mibolan::fuzz::CheckStyle(text, mibolan::Style::Annotated, seed);
  return 0;
}
