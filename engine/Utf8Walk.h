#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include <mibolan/Options.h>

#include "ConversionTables.h"
#include "Walk.h"

namespace mibolan {

// Converts UTF-8 text that arrives in pieces straight to UTF-8 in the styles Pinyin, Annotated
// and Numbers, reading character by character: the checks of Utf8Decoder and the conversion
// pass in one walk over the bytes, with no UTF-16 text in between. Its output, errors included,
// is that of Utf8Decoder followed by StreamConverter; it is Utf8Converter's fast path for the
// usual case.
class Utf8Walk {
 public:
  // `walk`: a direct walk, as ChooseWalk chose it. `lineStart`: as for Utf8Converter, the byte
  // offset of the text in a larger one, 0 or just after a line feed.
  explicit Utf8Walk(const Walk& walk, std::uint64_t lineStart = 0);

  // Takes the next piece and appends what can be converted so far to `out`, with kept line
  // breaks every line that has ended. False at an ill-formed sequence anywhere in `bytes`, even
  // one that the look-ahead still holds back; everything before it is converted by Finish.
  bool Feed(std::string_view bytes, std::string& out);

  // Ends the text and converts the rest. False when the rest holds an ill-formed sequence
  // (Truncated() tells whether it is a character cut off by the end of the input).
  bool Finish(std::string& out);

  // Byte offset, from the start of the input, of the ill-formed sequence.
  std::uint64_t ErrorOffset() const { return errorOffset_; }
  bool Truncated() const { return truncated_; }

  // Whether the text so far ends with a line feed.
  bool EndsWithLineFeed() const { return endsWithLineFeed_; }

 private:
  bool SkipByteOrderMark(bool final);
  bool Convert(std::size_t limit, bool final, std::string& out);
  template <bool kWritesCharacter>
  bool ConvertWith(std::size_t limit, bool final, std::string& out);
  ConversionTables::ReadingIndex ReadingInContext(std::size_t at, std::size_t length, char16_t character,
                                                  std::uint16_t entry) const;
  bool CheckLookahead();
  bool Fail(std::size_t at, bool truncated);

  const ConversionTables& tables_;
  Style fragments_;
  bool writesCharacter_;
  bool keepsLines_;
  std::string pending_;        // context already converted, then bytes not yet converted
  std::size_t next_ = 0;       // index in pending_ of the first byte not yet converted
  std::uint64_t dropped_ = 0;  // bytes of the input before pending_[0]
  std::uint64_t errorOffset_ = 0;
  bool truncated_ = false;
  bool atStart_ = true;
  bool endsWithLineFeed_ = false;
};

}  // namespace mibolan
