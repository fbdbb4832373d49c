#include <mibolan/Utf8Converter.h>

#include <variant>

#include <mibolan/StreamConverter.h>

#include "ReadingPass.h"
#include "Utf8Decoder.h"
#include "Utf8Walk.h"

namespace mibolan {

namespace {

// The way for what the direct walk does not write: the decoder, then the stream converter.
class DecodingWalk {
 public:
  explicit DecodingWalk(const ConversionOptions& options) : converter_(options) {}

  bool Feed(std::string_view bytes, std::string& out) {
    text_.clear();
    const bool ok = decoder_.Decode(bytes, text_);
    if (!text_.empty()) lastUnit_ = text_.back();
    converter_.Feed(text_, out);
    return ok;
  }

  bool Finish(std::string& out) {
    truncated_ = !decoder_.Finish();
    converter_.Finish(out);
    return !truncated_;
  }

  std::uint64_t ErrorOffset() const { return decoder_.ErrorOffset(); }
  bool Truncated() const { return truncated_; }
  bool EndsWithLineFeed() const { return lastUnit_ == u'\n'; }

 private:
  Utf8Decoder decoder_;
  StreamConverter converter_;
  std::u16string text_;
  char16_t lastUnit_ = 0;
  bool truncated_ = false;
};

}  // namespace

// The direct walk where it can write the output, the decoding one elsewhere.
class Utf8Converter::Impl {
 public:
  explicit Impl(const ConversionOptions& options) : walk_(MakeWalk(options)) {}

  template <class Call>
  decltype(auto) Visit(Call&& call) {
    return std::visit(std::forward<Call>(call), walk_);
  }
  template <class Call>
  decltype(auto) Visit(Call&& call) const {
    return std::visit(std::forward<Call>(call), walk_);
  }

 private:
  using Walk = std::variant<Utf8Walk, DecodingWalk>;

  static Walk MakeWalk(const ConversionOptions& options) {
    if (!TakesDirectWalk(options)) return Walk(std::in_place_type<DecodingWalk>, options);
    return Walk(std::in_place_type<Utf8Walk>, options.style, options.lineBreaks);
  }

  Walk walk_;
};

Utf8Converter::Utf8Converter(const ConversionOptions& options) : impl_(std::make_unique<Impl>(options)) {}
Utf8Converter::~Utf8Converter() = default;
Utf8Converter::Utf8Converter(Utf8Converter&&) noexcept = default;
Utf8Converter& Utf8Converter::operator=(Utf8Converter&&) noexcept = default;

bool Utf8Converter::Feed(std::string_view bytes, std::string& out) {
  return impl_->Visit([&](auto& walk) { return walk.Feed(bytes, out); });
}

bool Utf8Converter::Finish(std::string& out) {
  return impl_->Visit([&](auto& walk) { return walk.Finish(out); });
}

std::uint64_t Utf8Converter::ErrorOffset() const {
  return impl_->Visit([](const auto& walk) { return walk.ErrorOffset(); });
}

bool Utf8Converter::Truncated() const {
  return impl_->Visit([](const auto& walk) { return walk.Truncated(); });
}

bool Utf8Converter::EndsWithLineFeed() const {
  return impl_->Visit([](const auto& walk) { return walk.EndsWithLineFeed(); });
}

}  // namespace mibolan
