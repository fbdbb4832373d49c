// Fuzzes the converter's reading of UTF-8: decoded in arbitrary pieces, the bytes are accepted
// exactly when utfcpp calls them valid, an error names the offset where utfcpp finds the first
// invalid sequence, everything before it is decoded, and the decoded text streams through the
// converter as it converts whole; the direct converter, fed the same pieces, gives the same
// output and verdict; and the text cut after some of its line feeds, each part converted apart
// from its own offset as the program's two threads do, gives the whole text's output, verdict,
// error offset and last line feed in every way of reading. Input: one byte that chooses the
// pieces and the cuts, then the bytes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include <utf8.h>

#include <mibolan/ConvertText.h>
#include <mibolan/StreamConverter.h>
#include <mibolan/Utf8Converter.h>

#include "FuzzChecks.h"
#include "Utf.h"
#include "Utf8Decoder.h"
#include "Utf8Outcome.h"

namespace mibolan::fuzz {
namespace {

// What decoding `bytes` should give: their UTF-16 without a leading byte-order mark.
std::u16string ExpectedUnits(std::string_view bytes) {
  std::u16string units = utf8::utf8to16(bytes);
  if (!units.empty() && units.front() == u'\uFEFF') units.erase(0, 1);
  return units;
}

// The direct converter on the same pieces: its output, and its error offset or nothing.
std::pair<std::string, std::optional<std::uint64_t>> ConvertDirectly(std::string_view bytes, std::uint32_t seed) {
  Utf8Converter converter({Style::Annotated, LineBreaks::Keep});
  std::string converted;
  bool accepted = true;
  std::size_t start = 0;
  for (std::size_t length : PieceLengths(bytes.size(), seed)) {
    accepted = converter.Feed(bytes.substr(start, length), converted);
    start += length;
    if (!accepted) break;
  }
  const bool finished = converter.Finish(converted);
  if (accepted) accepted = finished;
  return {converted, accepted ? std::nullopt : std::optional<std::uint64_t>(converter.ErrorOffset())};
}

using testing_support::ConvertPart;
using testing_support::Utf8Outcome;

// The parts end after the line feeds that `seed` picks; the first part that goes wrong ends it.
Utf8Outcome ConvertLineParts(std::string_view bytes, const ConversionOptions& options, std::uint32_t seed) {
  Utf8Outcome result;
  std::uint32_t state = seed * 2654435761U + 7;
  std::size_t start = 0;
  for (std::size_t lineFeed = bytes.find('\n'); lineFeed != std::string_view::npos;
       lineFeed = bytes.find('\n', lineFeed + 1)) {
    state = state * 1664525U + 1013904223U;
    if ((state >> 30) == 0) continue;
    ConvertPart(bytes, start, lineFeed + 1, options, result);
    if (!result.ok) return result;
    start = lineFeed + 1;
  }
  ConvertPart(bytes, start, bytes.size(), options, result);
  return result;
}

void CheckLineParts(std::string_view bytes, std::uint32_t seed) {
  constexpr ConversionOptions kOptions[] = {
      {Style::Annotated, LineBreaks::Keep, ReadBy::Character, false},
      {Style::Pinyin, LineBreaks::Drop, ReadBy::Character, true},
      {Style::Html, LineBreaks::Drop, ReadBy::Word, true},
      {Style::Numbers, LineBreaks::Keep, ReadBy::Word, false},
  };
  for (const ConversionOptions& options : kOptions) {
    Check(ConvertLineParts(bytes, options, seed) == testing_support::ConvertWhole(bytes, options),
          "lines converted apart == converted whole");
  }
}

void CheckDecoding(std::string_view bytes, std::uint32_t seed) {
  Utf8Decoder decoder;
  StreamConverter converter({Style::Annotated, LineBreaks::Keep});
  std::u16string decoded;
  std::u16string piece;
  std::string converted;
  bool accepted = true;
  std::size_t start = 0;
  for (std::size_t length : PieceLengths(bytes.size(), seed)) {
    piece.clear();
    accepted = decoder.Decode(bytes.substr(start, length), piece);
    decoded += piece;
    converter.Feed(piece, converted);
    start += length;
    if (!accepted) break;
  }
  if (accepted) accepted = decoder.Finish();
  converter.Finish(converted);

  const auto invalid = utf8::find_invalid(bytes.begin(), bytes.end());
  Check(accepted == (invalid == bytes.end()), "accepted exactly when valid");
  const std::size_t validLength = static_cast<std::size_t>(invalid - bytes.begin());
  if (!accepted) Check(decoder.ErrorOffset() == validLength, "error offset == first invalid sequence");
  Check(decoded == ExpectedUnits(bytes.substr(0, validLength)), "everything before an error decoded");
  const std::string whole = ToUtf8(ConvertText(decoded, Style::Annotated));
  Check(WithoutLineEnds(converted) == whole, "decoded text streams as it converts whole");

  const auto [direct, directError] = ConvertDirectly(bytes, seed);
  Check(direct == converted, "direct conversion == decoding then converting");
  Check(directError.has_value() == !accepted, "direct conversion fails exactly when decoding does");
  if (directError) Check(*directError == decoder.ErrorOffset(), "direct conversion names the same offset");
}

}  // namespace
}  // namespace mibolan::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  mibolan::fuzz::CheckDecoding(bytes, data[0]);
  mibolan::fuzz::CheckLineParts(bytes, data[0]);
  return 0;
}
