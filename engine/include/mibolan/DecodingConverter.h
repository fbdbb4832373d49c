#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include <mibolan/StreamConverter.h>

namespace mibolan {

// Converts text in any encoding that arrives in pieces, split anywhere: a decoder turns the
// bytes into UTF-16 and a StreamConverter converts that. The decoder offers
//   bool Decode(std::string_view bytes, std::u16string& out)   false at a bad sequence
//   bool Finish()                                              false inside a character
//   std::uint64_t ErrorOffset() const                          where the bad bytes begin
// and the converter offers what Utf8Converter offers.
template <class Decoder>
class DecodingConverter {
 public:
  // `afterLineFeed` as for StreamConverter; the decoder is made of `decoderArguments`.
  template <class... DecoderArguments>
  DecodingConverter(const ConversionOptions& options, bool afterLineFeed, DecoderArguments&&... decoderArguments)
      : decoder_(std::forward<DecoderArguments>(decoderArguments)...),
        converter_(options, afterLineFeed),
        lastUnit_(afterLineFeed ? u'\n' : u'\0') {}

  // Takes the next piece and appends what can be converted so far to `out`. False at a bad
  // sequence; everything before it has been converted.
  bool Feed(std::string_view bytes, std::string& out) {
    text_.clear();
    const bool ok = decoder_.Decode(bytes, text_);
    if (!text_.empty()) lastUnit_ = text_.back();
    converter_.Feed(text_, out);
    return ok;
  }

  // Ends the text and converts the rest. False when it ends inside a character.
  bool Finish(std::string& out) {
    truncated_ = !decoder_.Finish();
    converter_.Finish(out);
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
};

}  // namespace mibolan
