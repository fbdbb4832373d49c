#include <mibolan/ConvertText.h>

#include <algorithm>

#include <mibolan/StreamConverter.h>

#include "ConversionPass.h"
#include "Processors.h"
#include "SharedParts.h"
#include "Walk.h"

namespace mibolan {
namespace {

// From this many units a text is shared with a second thread, when there may be one: a thread
// costs about as much as converting a few thousand units, a text this long takes milliseconds.
constexpr std::size_t kTwoThreadUnits = std::size_t{1} << 19;

// The parts that the two threads take one at a time: small enough that a part written twice
// (WriteParts) costs little, large enough that taking one costs nothing.
constexpr std::size_t kPartUnits = std::size_t{1} << 15;

}  // namespace

std::u16string ConvertDirectly(std::u16string_view text, Style style, std::size_t partUnits) {
  const ConversionTables& tables = ConversionTables::Get();
  const Walk walk = ChooseWalk(ConversionOptions{.style = style});
  const std::size_t parts = partUnits == 0 || text.empty() ? 1 : (text.size() + partUnits - 1) / partUnits;
  std::u16string output;
  // Room for the usual case, a few letters per character, so a long text grows no more than once
  // or twice; only the pages actually written are ever touched.
  output.reserve(text.size() * 2);
  // Each character is read with the whole text around it, so the parts meet exactly wherever
  // they are cut.
  WriteParts(
      parts, parts > 1,
      [&](std::size_t part, std::u16string& out) {
        const std::size_t begin = part * partUnits;
        AppendConverted(text, begin, parts == 1 ? text.size() : std::min(begin + partUnits, text.size()), tables, walk,
                        out);
      },
      output);
  return output;
}

std::u16string ConvertText(std::u16string_view text, Style style) {
  return ConvertText(text, ConversionOptions{.style = style});
}

std::u16string ConvertText(std::u16string_view text, const ConversionOptions& options) {
  const Walk walk = ChooseWalk(options);
  // The line breaks kept are the streaming walk's to write.
  if (!walk.Direct() || walk.keepsLines) {
    StreamConverter converter(options);
    std::string converted;
    converter.Feed(text, converted);
    converter.Finish(converted);
    return ToUtf16(converted);
  }
  const bool shared = text.size() >= kTwoThreadUnits && ThreadsFor(options) >= 2;
  return ConvertDirectly(text, options.style, shared ? kPartUnits : text.size());
}

}  // namespace mibolan
