#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include <mibolan/Export.h>
#include <mibolan/Options.h>

namespace mibolan {

// Converts UTF-8 text that arrives in pieces, split anywhere, to UTF-8, as StreamConverter
// converts the same text decoded. Only well-formed UTF-8 passes: overlong forms, encoded
// surrogates, code points above U+10FFFF, stray continuation bytes and truncated sequences end
// the text there, and ErrorOffset() tells where the bad sequence begins; with
// IllFormed::Replace each of them is read as U+FFFD instead and nothing fails. A byte-order mark
// at the very start is skipped.
//
// The first Feed that is given an ill-formed sequence reports it, even when the sequence is
// still in the look-ahead that it holds back; every later Feed and Finish of the same text
// returns false and writes nothing (the text after the bad bytes is never joined to the text
// before them). Finish ends the text, failed or not: the next Feed starts a new text, from byte
// offset 0, as a new object would. The constructors throw std::invalid_argument (below) and
// every call may throw std::bad_alloc; nothing else throws. An object may move between threads
// but must not be used from two at once (a build without NDEBUG aborts with a message when it
// is); separate objects convert on separate threads freely, and never start a thread.
class MIBOLAN_API Utf8Converter {
 public:
  // Throws std::invalid_argument when an option has a value that its enumeration does not name.
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

  // Takes the next piece and appends what can be converted so far to `out`. False when the piece
  // holds an ill-formed sequence, and for the rest of the text; everything before it has been
  // converted then, as if the text ended there.
  bool Feed(std::string_view bytes, std::string& out);

  // Ends the text and converts the rest. False when the rest holds an ill-formed sequence
  // (Truncated() tells whether it is a character cut off by the end of the input), or when an
  // earlier call of this text did. The converter is then ready for a new text.
  bool Finish(std::string& out);

  // Byte offset, from the start of the input, of the ill-formed sequence; after Finish, of the
  // text that it ended, until the next Feed.
  std::uint64_t ErrorOffset() const;
  bool Truncated() const;

  // Whether the text so far ends with a line feed.
  bool EndsWithLineFeed() const;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace mibolan
