#include <mibolan/ConvertText.h>

#include <algorithm>
#include <future>
#include <system_error>

#include <mibolan/StreamConverter.h>

#include "ConversionPass.h"
#include "Processors.h"
#include "Walk.h"

namespace mibolan {
namespace {

// From this many units a text is converted in two halves at once, when there are two
// processors: a thread costs about as much as converting a few thousand units, a text this long
// takes milliseconds.
constexpr std::size_t kTwoThreadUnits = std::size_t{1} << 19;

}  // namespace

std::u16string ConvertDirectly(std::u16string_view text, Style style, std::size_t split) {
  const ConversionTables& tables = ConversionTables::Get();
  const Walk walk = ChooseWalk(ConversionOptions{.style = style});
  // Each character is read with the whole text around it, so the halves meet exactly whatever
  // the split: the rest is converted on its own thread while this one converts the start.
  std::future<std::u16string> rest;
  if (split < text.size()) {
    try {
      rest = std::async(std::launch::async, [text, walk, split, &tables] {
        std::u16string converted;
        converted.reserve((text.size() - split) * 2);
        AppendConverted(text, split, text.size(), tables, walk, converted);
        return converted;
      });
    } catch (const std::system_error&) {
      split = text.size();  // no thread to be had: all of it here
    }
  }
  std::u16string output;
  // Room for the usual case, a few letters per character, so a long text grows no more than once
  // or twice; only the pages actually written are ever touched.
  output.reserve(text.size() * 2);
  AppendConverted(text, 0, std::min(split, text.size()), tables, walk, output);
  if (rest.valid()) output += rest.get();
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
  const bool twoHalves = text.size() >= kTwoThreadUnits && UsableProcessors() >= 2;
  return ConvertDirectly(text, options.style, twoHalves ? text.size() / 2 : text.size());
}

}  // namespace mibolan
