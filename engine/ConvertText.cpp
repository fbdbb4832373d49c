#include <mibolan/ConvertText.h>

#include <algorithm>
#include <future>
#include <string>
#include <system_error>

#include <utf8.h>

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

// A reading pass is fed a text in pieces of this many units, so that what it keeps of them stays
// in the cache.
constexpr std::size_t kPassFeedUnits = std::size_t{1} << 14;

// Appends the writers' output, which is always well-formed UTF-8, as UTF-16.
void AppendAsUtf16(std::string_view utf8, std::u16string& out) {
  const std::size_t start = out.size();
  out.resize(start + utf8.size());  // a byte gives at most one unit
  char16_t* const end = utf8::unchecked::utf8to16(utf8.begin(), utf8.end(), out.data() + start);
  out.resize(static_cast<std::size_t>(end - out.data()));
}

// The streaming converter's output of `part`, taken in pieces that stay in the cache.
std::u16string ConvertPart(std::u16string_view part, const ConversionOptions& options, bool afterLineFeed) {
  StreamConverter converter(options, afterLineFeed);
  std::u16string converted;
  converted.reserve(part.size() * 2);  // as for the direct walk: only the pages written are touched
  std::string piece;
  for (std::size_t at = 0; at < part.size(); at += kPassFeedUnits) {
    converter.Feed(part.substr(at, kPassFeedUnits), piece);
    AppendAsUtf16(piece, converted);
    piece.clear();
  }
  converter.Finish(piece);
  AppendAsUtf16(piece, converted);
  return converted;
}

// Where a text may be converted in two parts with the same output: after the line feed nearest
// to its middle, since no reading looks across a line feed; the text's end when it has none.
std::size_t LineSplitNearMiddle(std::u16string_view text) {
  const std::size_t after = text.find(u'\n', text.size() / 2);
  if (after != std::u16string_view::npos) return after + 1;
  const std::size_t before = text.rfind(u'\n', text.size() / 2);
  return before != std::u16string_view::npos ? before + 1 : text.size();
}

// The walks that are not direct, or that keep the line breaks: through the streaming converter,
// a long text in two parts at once, the second on a thread of its own.
std::u16string ConvertStreaming(std::u16string_view text, const ConversionOptions& options, bool twoParts) {
  std::size_t split = twoParts ? LineSplitNearMiddle(text) : text.size();
  std::future<std::u16string> rest;
  if (split < text.size()) {
    try {
      rest = std::async(std::launch::async,
                        [text, split, &options] { return ConvertPart(text.substr(split), options, true); });
    } catch (const std::system_error&) {
      split = text.size();  // no thread to be had: all of it here
    }
  }
  std::u16string converted = ConvertPart(text.substr(0, split), options, false);
  if (rest.valid()) converted += rest.get();
  return converted;
}

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
  const bool twoHalves = text.size() >= kTwoThreadUnits && UsableProcessors() >= 2;
  // The line breaks kept are the streaming walk's to write.
  if (!walk.Direct() || walk.keepsLines) return ConvertStreaming(text, options, twoHalves);
  return ConvertDirectly(text, options.style, twoHalves ? text.size() / 2 : text.size());
}

}  // namespace mibolan
