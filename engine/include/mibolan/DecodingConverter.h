#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include <mibolan/ExclusiveUse.h>
#include <mibolan/StreamConverter.h>

namespace mibolan {

// Converts text in any encoding that arrives in pieces, split anywhere: a decoder turns the
// bytes into UTF-16 and a StreamConverter converts that. The decoder offers
//   bool Decode(std::string_view bytes, std::u16string& out)   false at a bad sequence
//   bool Finish()                                              false inside a character
//   std::uint64_t ErrorOffset() const                          where the bad bytes begin
// and the converter offers what Utf8Converter offers, and behaves as it does between threads (one
// at a time) and at a bad sequence (reported by the Feed that is given it), except that it stays
// failed for good: a new text takes a new object. It throws what the decoder and StreamConverter
// throw.
template <class Decoder>
class DecodingConverter {
 public:
  // `afterLineFeed` as for StreamConverter; the decoder is made of `decoderArguments`. Throws
  // std::invalid_argument for an option out of its enumeration, as StreamConverter does.
  template <class... DecoderArguments>
  DecodingConverter(const ConversionOptions& options, bool afterLineFeed, DecoderArguments&&... decoderArguments)
      : decoder_(std::forward<DecoderArguments>(decoderArguments)...),
        converter_(options, afterLineFeed),
        lastUnit_(afterLineFeed ? u'\n' : u'\0') {}

  // Takes the next piece and appends what can be converted so far to `out`. False at a bad
  // sequence, and ever after; everything before it has been converted then, as if the text ended
  // there.
  bool Feed(std::string_view bytes, std::string& out) {
    const ExclusiveUse::Call call(use_, "DecodingConverter");
    if (failed_) return false;
    text_.clear();
    const bool ok = decoder_.Decode(bytes, text_);
    if (!text_.empty()) lastUnit_ = text_.back();
    converter_.Feed(text_, out);
    if (!ok) {
      converter_.Finish(out);
      failed_ = true;
    }
    return ok;
  }

  // Ends the text and converts the rest. False when it ends inside a character, or when an
  // earlier call failed.
  bool Finish(std::string& out) {
    const ExclusiveUse::Call call(use_, "DecodingConverter");
    if (failed_) return false;
    truncated_ = !decoder_.Finish();
    converter_.Finish(out);
    failed_ = truncated_;
    return !truncated_;
  }

  std::uint64_t ErrorOffset() const { return decoder_.ErrorOffset(); }
  bool Truncated() const { return truncated_; }
  bool EndsWithLineFeed() const { return lastUnit_ == u'\n'; }

 private:
  Decoder decoder_;
  StreamConverter converter_;
  std::u16string text_;
  char16_t lastUnit_;
  bool truncated_ = false;
  bool failed_ = false;
  ExclusiveUse use_;
};

}  // namespace mibolan
