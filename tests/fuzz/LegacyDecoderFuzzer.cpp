// Fuzzes the converter's reading of GBK and GB18030: decoded in arbitrary pieces, the bytes give
// what decoding them in one piece gives, the same acceptance, the same error offset and the same
// text before it. Input: one byte that chooses the pieces and (by its lowest bit) the encoding,
// then the bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzChecks.h"
#include "LegacyDecoder.h"

namespace mibolan::fuzz {
namespace {

struct Decoded {
  bool accepted = true;
  std::u16string text;
  std::uint64_t errorOffset = 0;

  bool operator==(const Decoded&) const = default;
};

Decoded Decode(const char* encoding, std::string_view bytes, const std::vector<std::size_t>& lengths) {
  cli::LegacyDecoder decoder(encoding);
  Decoded result;
  std::size_t start = 0;
  for (std::size_t length : lengths) {
    result.accepted = decoder.Decode(bytes.substr(start, length), result.text);
    start += length;
    if (!result.accepted) break;
  }
  if (result.accepted) result.accepted = decoder.Finish();
  if (!result.accepted) result.errorOffset = decoder.ErrorOffset();
  return result;
}

}  // namespace
}  // namespace mibolan::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mibolan::fuzz;
  if (size == 0) return 0;
  const char* encoding = data[0] % 2 == 0 ? "GBK" : "GB18030";
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  const Decoded whole = Decode(encoding, bytes, {bytes.size()});
  const Decoded pieces = Decode(encoding, bytes, PieceLengths(bytes.size(), data[0]));
  Check(pieces == whole, "decoded in pieces == decoded whole");
  Check(!whole.accepted || whole.errorOffset == 0, "no error offset without an error");
  Check(whole.errorOffset <= bytes.size(), "the error offset lies in the input");
  return 0;
}
