#include "Utf8Repair.h"

#include "Utf.h"

namespace mibolan {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// The length of the maximal subpart at the start of `bytes`, which DecodeUtf8Sequence found
// ill-formed: the bytes before the first that no well-formed character could have there.
std::size_t MaximalSubpart(std::string_view bytes) {
  for (std::size_t length = bytes.size(); length > 1; --length) {
    char32_t code = 0;
    if (DecodeUtf8Sequence(bytes.substr(0, length - 1), code) == kUtf8NeedMore) return length - 1;
  }
  return 1;
}

}  // namespace

std::string_view Utf8Repair::Repair(std::string_view bytes) {
  std::string_view text = bytes;
  if (!carried_.empty()) {
    carried_.append(bytes);
    text = carried_;
  }
  repaired_.clear();
  std::size_t i = 0;
  std::size_t kept = 0;  // bytes before `i` from `kept` on are well formed and not yet copied
  while (i < text.size()) {
    i = EndOfAsciiRun(text, i);
    if (i == text.size()) break;
    char32_t code = 0;
    const int decoded = DecodeUtf8Sequence(text.substr(i, 4), code);
    if (decoded > 0) {
      i += static_cast<std::size_t>(decoded);
      continue;
    }
    if (decoded == kUtf8NeedMore) break;  // the rest of the character may come next
    repaired_.append(text.substr(kept, i - kept));
    repaired_.append(kReplacement);
    i += MaximalSubpart(text.substr(i, 4));
    kept = i;
  }
  // Nothing was ill-formed: the piece passes as it is, short of a character that it cuts off.
  std::string_view result;
  if (kept == 0 && carried_.empty()) {
    result = text.substr(0, i);
  } else {
    repaired_.append(text.substr(kept, i - kept));
    result = repaired_;
  }
  std::string rest(text.substr(i));
  carried_ = std::move(rest);
  return result;
}

std::string_view Utf8Repair::Finish() {
  const bool cutOff = !carried_.empty();
  carried_.clear();
  return cutOff ? kReplacement : std::string_view();
}

}  // namespace mibolan
