#include <mibolan/Utf8Converter.h>

#include <optional>
#include <variant>

#include <mibolan/DecodingConverter.h>
#include <mibolan/ExclusiveUse.h>

#include "Utf8Decoder.h"
#include "Utf8Repair.h"
#include "Utf8Walk.h"
#include "Walk.h"

namespace mibolan {

// The direct walk where it can write the output, the decoding one elsewhere; failed at the first
// ill-formed sequence until Finish, after which a new text starts with a new walk.
class Utf8Converter::Impl {
 public:
  Impl(const ConversionOptions& options, std::uint64_t lineStart)
      : options_(options), walk_(std::in_place, MakeWalk(options, lineStart)) {
    if (options.illFormed == IllFormed::Replace) repair_.emplace();
  }

  ExclusiveUse use;  // held by each call

  template <class Call>
  decltype(auto) Visit(Call&& call) {
    return std::visit(std::forward<Call>(call), *walk_);
  }
  template <class Call>
  decltype(auto) Visit(Call&& call) const {
    return std::visit(std::forward<Call>(call), *walk_);
  }

  bool Feed(std::string_view bytes, std::string& out) {
    StartTextIfFinished();
    if (failed_) return false;
    if (repair_) bytes = repair_->Repair(bytes);
    if (Visit([&](auto& walk) { return walk.Feed(bytes, out); })) return true;
    // The text ends where it goes wrong: what comes before is converted as if nothing followed.
    Visit([&](auto& walk) { return walk.Finish(out); });
    failed_ = true;
    return false;
  }

  bool Finish(std::string& out) {
    StartTextIfFinished();
    finished_ = true;
    if (failed_) return false;
    if (repair_) {
      const std::string_view rest = repair_->Finish();
      if (!Visit([&](auto& walk) { return walk.Feed(rest, out); })) return false;
    }
    return Visit([&](auto& walk) { return walk.Finish(out); });
  }

 private:
  // For what the direct walk does not write: the decoder, then the stream converter.
  using DecodingWalk = DecodingConverter<Utf8Decoder>;
  using EitherWalk = std::variant<Utf8Walk, DecodingWalk>;

  static EitherWalk MakeWalk(const ConversionOptions& options, std::uint64_t lineStart) {
    const Walk walk = ChooseWalk(options);
    if (!walk.Direct()) return EitherWalk(std::in_place_type<DecodingWalk>, options, lineStart > 0, lineStart);
    return EitherWalk(std::in_place_type<Utf8Walk>, walk, lineStart);
  }

  // After Finish the next call begins a new text, as if on a new converter (what ErrorOffset()
  // and the rest said of the last text holds until then).
  void StartTextIfFinished() {
    if (!finished_) return;
    EitherWalk fresh = MakeWalk(options_, 0);
    walk_.emplace(std::move(fresh));
    if (repair_) repair_.emplace();
    failed_ = false;
    finished_ = false;
  }

  ConversionOptions options_;
  std::optional<EitherWalk> walk_;    // always holds one: optional to be made anew
  std::optional<Utf8Repair> repair_;  // with IllFormed::Replace
  bool failed_ = false;
  bool finished_ = false;
};

Utf8Converter::Utf8Converter(const ConversionOptions& options) : Utf8Converter(options, 0) {}
Utf8Converter::Utf8Converter(const ConversionOptions& options, std::uint64_t lineStart)
    : impl_(std::make_unique<Impl>(options, lineStart)) {}
Utf8Converter::~Utf8Converter() = default;
Utf8Converter::Utf8Converter(Utf8Converter&&) noexcept = default;
Utf8Converter& Utf8Converter::operator=(Utf8Converter&&) noexcept = default;

bool Utf8Converter::Feed(std::string_view bytes, std::string& out) {
  const ExclusiveUse::Call call(impl_->use, "Utf8Converter");
  return impl_->Feed(bytes, out);
}

bool Utf8Converter::Finish(std::string& out) {
  const ExclusiveUse::Call call(impl_->use, "Utf8Converter");
  return impl_->Finish(out);
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
