#pragma once

// What converting UTF-8 gives, as the converter tests compare it whole: the output, the verdict,
// where the text went wrong, and whether what was converted ends with a line feed.

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include <mibolan/Utf8Converter.h>

namespace mibolan::testing_support {

struct Utf8Outcome {
  std::string out;
  bool ok = true;
  std::uint64_t errorOffset = 0;
  bool truncated = false;
  bool endsWithLineFeed = false;

  bool operator==(const Utf8Outcome&) const = default;
};

inline void PrintTo(const Utf8Outcome& outcome, std::ostream* stream) {
  *stream << "\"" << outcome.out << "\" ok=" << outcome.ok << " offset=" << outcome.errorOffset
          << " truncated=" << outcome.truncated << " endsWithLineFeed=" << outcome.endsWithLineFeed;
}

// One Utf8Converter given bytes[lineStart, end) at once, as the part of the text that starts at
// lineStart, and finished the way the converter program finishes it: its outcome is added to
// `outcome` (the output appended, the rest replaced).
inline void ConvertPart(std::string_view bytes, std::size_t lineStart, std::size_t end,
                        const ConversionOptions& options, Utf8Outcome& outcome) {
  Utf8Converter converter(options, lineStart);
  const bool fed = converter.Feed(bytes.substr(lineStart, end - lineStart), outcome.out);
  const bool finished = converter.Finish(outcome.out);
  outcome.ok = fed && finished;
  outcome.truncated = fed && !finished && converter.Truncated();
  outcome.errorOffset = outcome.ok ? 0 : converter.ErrorOffset();
  outcome.endsWithLineFeed = converter.EndsWithLineFeed();
}

// The whole text through one Utf8Converter.
inline Utf8Outcome ConvertWhole(std::string_view bytes, const ConversionOptions& options) {
  Utf8Outcome outcome;
  ConvertPart(bytes, 0, bytes.size(), options, outcome);
  return outcome;
}

}  // namespace mibolan::testing_support
