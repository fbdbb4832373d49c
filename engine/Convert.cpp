#include <mibolan/Convert.h>
#include <mibolan/Readings.h>
#include <mibolan/Utf8Converter.h>

#include "Utf.h"

namespace mibolan {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string DescribeEncodingError(std::uint64_t offset, bool truncated) {
  return truncated ? "the UTF-8 text ends inside a character that starts at byte " + std::to_string(offset)
                   : "the text is not UTF-8 at byte " + std::to_string(offset);
}

// The text in UTF-16; throws EncodingError at its first ill-formed sequence, counting its offset
// from `base` bytes before the text.
std::u16string DecodeWhole(std::string_view text, std::size_t base) {
  std::u16string units;
  units.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t asciiEnd = EndOfAsciiRun(text, at);
    units.append(text.begin() + static_cast<std::ptrdiff_t>(at), text.begin() + static_cast<std::ptrdiff_t>(asciiEnd));
    at = asciiEnd;
    if (at == text.size()) break;
    char32_t code = 0;
    const int length = DecodeUtf8Sequence(text.substr(at), code);
    if (length <= 0) throw EncodingError(base + at, length == kUtf8NeedMore);
    char16_t pair[2];
    units.append(pair, WriteUtf16(code, pair));
    at += static_cast<std::size_t>(length);
  }
  return units;
}

// The length in bytes of the well-formed character whose first byte is `lead`.
std::size_t SequenceLength(char lead) {
  const auto byte = static_cast<unsigned char>(lead);
  return byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
}

}  // namespace

EncodingError::EncodingError(std::uint64_t offset, bool truncated)
    : std::runtime_error(DescribeEncodingError(offset, truncated)), offset_(offset), truncated_(truncated) {}

std::string ConvertUtf8(std::string_view text, const ConversionOptions& options) {
  Utf8Converter converter(options);
  std::string out;
  if (!converter.Feed(text, out) || !converter.Finish(out)) {
    throw EncodingError(converter.ErrorOffset(), converter.Truncated());
  }
  return out;
}

std::vector<Utf8Piece> ReadUtf8(std::string_view text, const ConversionOptions& options) {
  // Read as ConvertUtf8 reads: without the byte-order mark, which stays in the first run.
  const std::size_t start = text.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
  const std::vector<CharacterReading> readings = ReadText(DecodeWhole(text.substr(start), start), options);
  std::vector<Utf8Piece> pieces;
  pieces.reserve(readings.size() * 2 + 1);
  std::size_t offset = 0, index = 0;  // where the current run begins
  std::size_t at = start, atIndex = start == 0 ? 0 : 1, unit = 0;
  const auto endRun = [&] {
    if (at > offset) pieces.push_back({text.substr(offset, at - offset), offset, index, {}, {}});
  };
  for (const CharacterReading& reading : readings) {
    for (; unit < reading.index; ++atIndex) {
      const std::size_t length = SequenceLength(text[at]);
      at += length;
      unit += length == 4 ? 2 : 1;
    }
    endRun();
    const std::size_t length = SequenceLength(text[at]);
    pieces.push_back({text.substr(at, length), at, atIndex, reading.numbered, ToUtf8(reading.marked)});
    at += length;
    unit += length == 4 ? 2 : 1;
    offset = at;
    index = ++atIndex;
  }
  at = text.size();
  endRun();
  return pieces;
}

}  // namespace mibolan
