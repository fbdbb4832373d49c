#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mibolan {

// Decodes UTF-8 that arrives in pieces into UTF-16, split anywhere, even inside a character.
// Only well-formed UTF-8 passes: overlong forms, encoded surrogates, code points above
// U+10FFFF, stray continuation bytes and truncated sequences stop the decoding, and
// ErrorOffset() tells where the bad sequence begins. A byte-order mark at the very start
// is skipped.
class Utf8Decoder {
 public:
  Utf8Decoder() = default;
  // Decodes a text that starts at byte offset `start` of a larger input: offsets count from
  // the start of that input, and past its start no byte-order mark is skipped.
  explicit Utf8Decoder(std::uint64_t start) : offset_(start), atStart_(start == 0) {}

  // Appends the UTF-16 of `bytes` to `out`; false at the first ill-formed sequence.
  bool Decode(std::string_view bytes, std::u16string& out);

  // Ends the input; false when it ends inside a character.
  bool Finish();

  // Byte offset, from the start of the input, of the ill-formed sequence.
  std::uint64_t ErrorOffset() const { return errorOffset_; }

 private:
  bool DecodeCarried(std::string_view& bytes, std::u16string& out);
  // Writes the code point's units at `next` (none for a leading byte-order mark); returns the end.
  char16_t* Append(char32_t code, char16_t* next);
  bool Fail(std::uint64_t offset);

  std::uint64_t offset_ = 0;  // bytes decoded or carried so far
  std::uint64_t errorOffset_ = 0;
  std::string carried_;  // the start of a character that the previous piece cut off
  bool atStart_ = true;
};

}  // namespace mibolan
