// Fuzzes the engine with arbitrary UTF-16 in every output style and way of reading: no crash, no
// undefined behaviour, valid UTF-8, and the same output whether the text is converted whole or
// streamed in pieces; reading by character, the same in parts shared by two threads, in the two
// pinyin styles short texts also give what the literal conversion gives, and the other ways of
// reading convert the same characters.
// Input: one byte that chooses the pieces, then the text's units, little-endian.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include <utf8.h>

#include <mibolan/ConvertText.h>
#include <mibolan/Options.h>
#include <mibolan/StreamConverter.h>

#include "ConversionPass.h"
#include "ConvertedCharacters.h"
#include "FuzzChecks.h"
#include "ReferencePass.h"
#include "Utf.h"
#include "Walk.h"

namespace mibolan::fuzz {
namespace {

// The literal conversion searches the whole dictionary per character: only short texts.
constexpr std::size_t kReferenceLength = 8;

constexpr ConversionOptions kReadings[] = {
    {.readBy = ReadBy::Character},
    {.readBy = ReadBy::Word},
    {.readBy = ReadBy::Word, .toneSandhi = true},
    {.readBy = ReadBy::Character, .toneSandhi = true},
};

std::string Stream(std::u16string_view text, ConversionOptions options, std::uint32_t seed) {
  StreamConverter converter(options);
  std::string out;
  for (std::size_t length : PieceLengths(text.size(), seed)) {
    converter.Feed(text.substr(0, length), out);
    text.remove_prefix(length);
  }
  converter.Finish(out);
  return out;
}

void CheckStyle(std::u16string_view text, ConversionOptions options, std::uint32_t seed) {
  const Style style = options.style;
  const std::u16string whole = ConvertText(text, options);
  const std::string whole8 = ToUtf8(whole);
  const std::string streamed = Stream(text, options, seed);
  Check(utf8::is_valid(streamed.begin(), streamed.end()), "the output is valid UTF-8");
  Check(streamed == whole8, "streamed in pieces == converted whole");
  options.lineBreaks = LineBreaks::Keep;
  const std::string kept = Stream(text, options, seed);
  if (style == Style::Html) {
    Check(kept == whole8, "a page keeps its line breaks whatever the option");
    return;
  }
  Check(WithoutLineEnds(kept) == whole8, "kept lines, line ends taken out == converted whole");
  Check(std::count(kept.begin(), kept.end(), '\n') == std::count(text.begin(), text.end(), u'\n'),
        "kept lines: one line end per line feed");
  const bool byCharacter = !ChooseWalk(options).NeedsReadingPass();
  if (byCharacter) {
    Check(ConvertDirectly(text, style, seed % (text.size() + 1)) == whole,
          "converted in parts shared by two threads == converted whole");
  }
  if (style == Style::Annotated && !byCharacter) {
    // Reading by word also reads the characters beyond the dictionary that have a reading of their
    // own, and keeps the invisible characters after a converted one.
    const std::u16string expected = options.readBy == ReadBy::Word
                                        ? reference::CharactersReadByWord(text)
                                        : reference::ConvertedCharacters(ConvertText(text, style));
    Check(reference::ConvertedCharacters(reference::WithoutInvisible(whole)) == expected,
          "every way of reading converts the characters it reads");
  }
  if (byCharacter && text.size() <= kReferenceLength && (style == Style::Pinyin || style == Style::Annotated)) {
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
  for (mibolan::ConversionOptions options : mibolan::fuzz::kReadings) {
    for (const mibolan::Style style :
         {mibolan::Style::Pinyin, mibolan::Style::Annotated, mibolan::Style::Numbers, mibolan::Style::Html}) {
      options.style = style;
      mibolan::fuzz::CheckStyle(text, options, seed);
    }
  }
  return 0;
}
