#include "Utf8Converter.h"

#include <array>
#include <cstring>

#include "ConversionPass.h"
#include "Utf8.h"

namespace mibolan {

namespace {

// A character and everything the rules may look at after it fit in this many bytes: the
// character itself (at most four) and three more units (at most four bytes each).
constexpr std::size_t kLookahead = 16;

// The two units the rules may look back at lie within this many bytes before a character.
constexpr std::size_t kContextBytes = 8;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

const unsigned char* BytesOf(const std::string& text) { return reinterpret_cast<const unsigned char*>(text.data()); }

// The end of the run of ASCII bytes that starts at `i` (before `limit`), eight bytes at a time.
std::size_t EndOfAsciiRun(const unsigned char* data, std::size_t i, std::size_t limit) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080;
  for (std::uint64_t word = 0; i + 8 <= limit; i += 8) {
    std::memcpy(&word, data + i, sizeof word);
    if (word & kHighBits) break;
  }
  while (i < limit && data[i] < 0x80) ++i;
  return i;
}

// Appends the UTF-16 units of `code` to units[count...], as far as `capacity` allows.
std::size_t AppendUnits(char32_t code, char16_t* units, std::size_t count, std::size_t capacity) {
  if (code < 0x10000) {
    units[count++] = static_cast<char16_t>(code);
  } else {
    code -= 0x10000;
    units[count++] = static_cast<char16_t>(0xD800 + (code >> 10));
    if (count < capacity) units[count++] = static_cast<char16_t>(0xDC00 + (code & 0x3FF));
  }
  return count;
}

}  // namespace

Utf8Converter::Utf8Converter(const CharDictionary& dictionary, Style style, LineBreaks lineBreaks)
    : tables_(ConversionTables::For(dictionary)), style_(style), lineBreaks_(lineBreaks) {}

bool Utf8Converter::Feed(std::string_view bytes, std::string& out) {
  pending_.append(bytes);
  if (atStart_ && !SkipByteOrderMark(false)) return true;
  const std::size_t limit = pending_.size() > kLookahead ? pending_.size() - kLookahead : 0;
  const bool ok = Convert(limit, false, out);
  // Keep only the context that the rules may still look back at.
  if (next_ > kContextBytes) {
    const std::size_t drop = next_ - kContextBytes;
    pending_.erase(0, drop);
    dropped_ += drop;
    next_ -= drop;
  }
  return ok;
}

bool Utf8Converter::Finish(std::string& out) {
  if (atStart_) SkipByteOrderMark(true);
  const bool ok = Convert(pending_.size(), true, out);
  endsWithLineFeed_ = !pending_.empty() && pending_.back() == '\n';
  pending_.clear();
  next_ = 0;
  return ok;
}

// A byte-order mark at the very start is no part of the text. False while too few bytes have
// come to tell.
bool Utf8Converter::SkipByteOrderMark(bool final) {
  if (!final && pending_.size() < kByteOrderMark.size() && kByteOrderMark.starts_with(pending_)) return false;
  if (std::string_view(pending_).starts_with(kByteOrderMark)) {
    pending_.erase(0, kByteOrderMark.size());
    dropped_ += kByteOrderMark.size();
  }
  atStart_ = false;
  return true;
}

bool Utf8Converter::Fail(std::size_t at, bool truncated) {
  errorOffset_ = dropped_ + at;
  truncated_ = truncated;
  // The text ends where it goes wrong: what comes before is converted as if nothing followed.
  pending_.resize(at);
  next_ = at;
  return false;
}

// Converts the characters that start before `limit`.
bool Utf8Converter::Convert(std::size_t limit, bool final, std::string& out) {
  const unsigned char* const data = BytesOf(pending_);
  const std::string_view text = pending_;
  const std::uint16_t* const entries = tables_.Entries();
  const Fragment<char>* const fragments = tables_.Fragments<char>(style_);
  const bool writesCharacter = style_ == Style::Annotated;
  const bool keepLines = lineBreaks_ == LineBreaks::Keep;
  OutputBlock<char> block;
  std::size_t used = 0;
  std::size_t i = next_;
  while (i < limit) {
    if (data[i] < 0x80) {
      if (!keepLines) {
        i = EndOfAsciiRun(data, i, limit);
      } else if (data[i++] == '\n') {
        out.append(block.data(), used);
        used = 0;
        out += i >= 2 && data[i - 2] == '\r' ? "\r\n" : "\n";
      }
      continue;
    }
    char32_t code = i + 3 <= text.size() ? utf8::DecodeThreeBytes(data + i) : 0;
    std::size_t length = 3;
    if (code == 0) {
      const int decoded = utf8::DecodeOne(text.substr(i), code);
      if (decoded == utf8::kIllFormed || (decoded == utf8::kNeedMore && final)) {
        out.append(block.data(), used);
        return Fail(i, decoded == utf8::kNeedMore);
      }
      if (decoded == utf8::kNeedMore) break;  // the rest of the character is still to come
      length = static_cast<std::size_t>(decoded);
    }
    const std::uint16_t entry = code < 0x10000 ? entries[code] : 0;
    if (entry != 0) {
      const ConversionTables::ReadingIndex reading =
          entry & ConversionTables::kHasContextRules
              ? ReadingInContext(i, length, static_cast<char16_t>(code), entry)
              : entry;
      used = WriteConverted(block, used, static_cast<char16_t>(code), fragments[reading], writesCharacter);
      if (used >= kOutputBlockSize) {
        out.append(block.data(), used);
        used = 0;
      }
    }
    i += length;
  }
  out.append(block.data(), used);
  next_ = i;
  return true;
}

// The reading of `character`, `length` bytes at `at`, chosen by the rules from the units
// around it: up to two before (all checked already) and up to three after, as far as the text
// is well formed.
ConversionTables::ReadingIndex Utf8Converter::ReadingInContext(std::size_t at, std::size_t length,
                                                               char16_t character, std::uint16_t entry) const {
  const unsigned char* const data = BytesOf(pending_);
  const std::string_view text = pending_;

  std::array<char16_t, kContextBehind> before{};  // nearest first
  std::size_t behind = 0;
  for (std::size_t end = at; behind < kContextBehind && end > 0;) {
    std::size_t start = end - 1;
    while (start > 0 && utf8::IsContinuation(data[start])) --start;
    char32_t code = data[start];
    if (code >= 0x80 && utf8::DecodeOne(text.substr(start, end - start), code) <= 0) break;
    std::array<char16_t, 2> units{};
    const std::size_t count = AppendUnits(code, units.data(), 0, units.size());
    for (std::size_t k = count; k-- > 0 && behind < kContextBehind;) before[behind++] = units[k];
    end = start;
  }

  std::array<char16_t, kContextBehind + 1 + kContextAhead> window{};
  std::size_t size = 0;
  for (std::size_t k = behind; k-- > 0;) window[size++] = before[k];
  const std::size_t self = size;
  window[size++] = character;
  for (std::size_t next = at + length; size < window.size() && next < text.size();) {
    char32_t code = data[next];
    int decoded = 1;
    if (code >= 0x80) decoded = utf8::DecodeOne(text.substr(next), code);
    if (decoded <= 0) break;
    size = AppendUnits(code, window.data(), size, window.size());
    next += static_cast<std::size_t>(decoded);
  }
  return ContextAwareReading(std::u16string_view(window.data(), size), self, entry, tables_);
}

}  // namespace mibolan
