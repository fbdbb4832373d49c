#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include <mibolan/Options.h>

namespace mibolan {

// Converts UTF-8 text that arrives in pieces, split anywhere, to UTF-8, as StreamConverter
// converts the same text decoded. Only well-formed UTF-8 passes: overlong forms, encoded
// surrogates, code points above U+10FFFF, stray continuation bytes and truncated sequences end
// the text there, and ErrorOffset() tells where the bad sequence begins. A byte-order mark at the
// very start is skipped.
class Utf8Converter {
 public:
  explicit Utf8Converter(const ConversionOptions& options);

  // Converts the part of a larger text that starts at byte offset `lineStart`, which is 0 or
  // just after a line feed. No reading looks across a line feed, so the parts of a text cut
  // just after line feeds convert one by one, in any order or at once, and their outputs put
  // together are exactly that of the whole text. Past the start no byte-order mark is looked
  // for (U+FEFF is a character like any other), ErrorOffset() counts from the start of the
  // whole text, and EndsWithLineFeed() holds until the part brings text of its own.
  Utf8Converter(const ConversionOptions& options, std::uint64_t lineStart);
  ~Utf8Converter();
  Utf8Converter(Utf8Converter&&) noexcept;
  Utf8Converter& operator=(Utf8Converter&&) noexcept;

  // Takes the next piece and appends what can be converted so far to `out`. False at an
  // ill-formed sequence; everything before it has been converted.
  bool Feed(std::string_view bytes, std::string& out);

  // Ends the text and converts the rest. False when the rest holds an ill-formed sequence
  // (Truncated() tells whether it is a character cut off by the end of the input).
  bool Finish(std::string& out);

  // Byte offset, from the start of the input, of the ill-formed sequence.
  std::uint64_t ErrorOffset() const;
  bool Truncated() const;

  // Whether the text so far ends with a line feed.
  bool EndsWithLineFeed() const;

  class Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace mibolan
