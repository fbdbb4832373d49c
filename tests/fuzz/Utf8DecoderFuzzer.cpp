// Fuzzes the converter's reading of UTF-8: decoded in arbitrary pieces, the bytes are accepted
// exactly when utfcpp calls them valid, an error names the offset where utfcpp finds the first
// invalid sequence, everything before it is decoded, and the decoded text streams through the
// converter as it converts whole. Input: one byte that chooses the pieces, then the bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include <utf8.h>

#include "ConvertText.h"
#include "FuzzChecks.h"
#include "StreamConverter.h"
#include "Utf.h"
#include "Utf8Decoder.h"
#include "data/CharDictionary.h"

namespace mibolan::fuzz {
namespace {

// What decoding `bytes` should give: their UTF-16 without a leading byte-order mark.
std::u16string ExpectedUnits(std::string_view bytes) {
  std::u16string units = utf8::utf8to16(bytes);
  if (!units.empty() && units.front() == u'\uFEFF') units.erase(0, 1);
  return units;
}

void CheckDecoding(std::string_view bytes, std::uint32_t seed) {
  Utf8Decoder decoder;
  StreamConverter converter(CharDictionary::Embedded(), Style::Annotated, LineBreaks::Keep);
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
  const std::string whole = ToUtf8(ConvertText(decoded, CharDictionary::Embedded(), Style::Annotated));
  Check(WithoutLineEnds(converted) == whole, "decoded text streams as it converts whole");
}

}  // namespace
}  // namespace mibolan::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  mibolan::fuzz::CheckDecoding(bytes, data[0]);
  return 0;
}
