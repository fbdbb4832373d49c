#pragma once

#include <iconv.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace mibolan::cli {

// Decodes text in a legacy Chinese encoding (GBK, GB18030) that arrives in pieces into UTF-16,
// through the C library's iconv. A character cut between two pieces is completed by the next;
// bytes that are not valid in the encoding stop the decoding, and ErrorOffset() tells where
// they begin. A byte-order mark at the very start is skipped.
class LegacyDecoder {
 public:
  // `encoding` is an iconv name such as "GBK"; throws std::system_error when the system has no
  // converter for it.
  explicit LegacyDecoder(const char* encoding);
  ~LegacyDecoder();
  LegacyDecoder(const LegacyDecoder&) = delete;
  LegacyDecoder& operator=(const LegacyDecoder&) = delete;

  // Appends the UTF-16 of `bytes` to `out`; false at the first invalid sequence.
  bool Decode(std::string_view bytes, std::u16string& out);

  // Ends the input; false when it ends inside a character.
  bool Finish();

  // Byte offset, from the start of the input, of the invalid sequence.
  std::uint64_t ErrorOffset() const { return errorOffset_; }

 private:
  iconv_t converter_;
  std::uint64_t offset_ = 0;  // bytes decoded or carried so far
  std::uint64_t errorOffset_ = 0;
  std::string carried_;  // the start of a character that the previous piece cut off
  bool atStart_ = true;
};

}  // namespace mibolan::cli
