#include <mibolan/ConvertText.h>

#include <algorithm>
#include <string>
#include <vector>

#include <utf8.h>

#include <mibolan/StreamConverter.h>

#include "ConversionPass.h"
#include "Processors.h"
#include "SharedParts.h"
#include "StreamedReadings.h"
#include "Walk.h"

namespace mibolan {
namespace {

// From this many units a text is shared with a second thread, when there may be one: a thread
// costs about as much as converting a few thousand units, a text this long takes milliseconds.
constexpr std::size_t kTwoThreadUnits = std::size_t{1} << 19;

// A reading pass is fed a text in pieces of this many units, so that what it keeps of them stays
// in the cache.
constexpr std::size_t kPassFeedUnits = std::size_t{1} << 14;

// The parts of the streaming walks that the two threads take one at a time: each has a converter
// of its own, and one written twice costs a few milliseconds at most.
constexpr std::size_t kLinePartUnits = std::size_t{1} << 17;

// Appends the writers' output, which is always well-formed UTF-8, as UTF-16.
void AppendAsUtf16(std::string_view utf8, std::u16string& out) {
  const std::size_t start = out.size();
  out.resize(start + utf8.size());  // a byte gives at most one unit
  char16_t* const end = utf8::unchecked::utf8to16(utf8.begin(), utf8.end(), out.data() + start);
  out.resize(static_cast<std::size_t>(end - out.data()));
}

// Appends the streaming converter's output of `part`, fed in pieces that stay in the cache.
void AppendStreamed(std::u16string_view part, const ConversionOptions& options, bool afterLineFeed,
                    std::u16string& out) {
  StreamConverter converter(options, afterLineFeed);
  std::string piece;
  for (std::size_t at = 0; at < part.size(); at += kPassFeedUnits) {
    converter.Feed(part.substr(at, kPassFeedUnits), piece);
    AppendAsUtf16(piece, out);
    piece.clear();
  }
  converter.Finish(piece);
  AppendAsUtf16(piece, out);
}

// Where a text may be cut into parts of about `partUnits` with the same output: each part but the
// first starts after a line feed, since no reading looks across one. The parts' bounds, from 0 to
// the text's end.
std::vector<std::size_t> LineParts(std::u16string_view text, std::size_t partUnits) {
  std::vector<std::size_t> bounds{0};
  while (text.size() - bounds.back() > partUnits) {
    const std::size_t feed = text.find(u'\n', bounds.back() + partUnits);
    if (feed == std::u16string_view::npos || feed + 1 == text.size()) break;
    bounds.push_back(feed + 1);
  }
  bounds.push_back(text.size());
  return bounds;
}

// The walks that are not direct, or that keep the line breaks: through the streaming converter,
// a long text in parts cut at line feeds, shared with a second thread as the direct walk's are.
std::u16string ConvertStreaming(std::u16string_view text, const ConversionOptions& options, const Walk& walk,
                                bool shared) {
  const bool readingsAlone = walk.NeedsReadingPass() && walk.WritesReadingsAlone();
  const std::vector<std::size_t> bounds = LineParts(text, shared ? kLinePartUnits : text.size());
  std::u16string output;
  output.reserve(text.size() * 2);  // as for the direct walk: only the pages written are touched
  WriteParts(
      bounds.size() - 1, shared,
      [&](std::size_t part, std::u16string& out) {
        const std::u16string_view partText = text.substr(bounds[part], bounds[part + 1] - bounds[part]);
        if (readingsAlone) return AppendStreamedReadings(partText, options, part > 0, out);
        AppendStreamed(partText, options, part > 0, out);
      },
      output);
  return output;
}

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
  const bool shared = text.size() >= kTwoThreadUnits && ThreadsFor(options) >= 2;
  // The line breaks kept are the streaming walk's to write.
  if (!walk.Direct() || walk.keepsLines) return ConvertStreaming(text, options, walk, shared);
  return ConvertDirectly(text, options.style, shared ? kPartUnits : text.size());
}

}  // namespace mibolan
