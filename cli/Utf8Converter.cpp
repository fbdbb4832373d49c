#include "Utf8Converter.h"

#include <algorithm>
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

// Decodes the well-formed text of [from, end) into units[count...] as far as `capacity`
// allows; stops at an ill-formed or cut character. Returns the new count.
std::size_t DecodeUnits(std::string_view text, std::size_t from, std::size_t end, char16_t* units,
                        std::size_t count, std::size_t capacity) {
  while (from < end && count < capacity) {
    char32_t code = static_cast<unsigned char>(text[from]);
    int length = 1;
    if (code >= 0x80) length = utf8::DecodeOne(text.substr(from, end - from), code);
    if (length <= 0) break;
    std::array<char16_t, 2> pair{};
    const char16_t* const pairEnd = utf8::WriteUtf16(code, pair.data());
    for (const char16_t* unit = pair.data(); unit != pairEnd && count < capacity; ++unit) units[count++] = *unit;
    from += static_cast<std::size_t>(length);
  }
  return count;
}

}  // namespace

Utf8Converter::Utf8Converter(const CharDictionary& dictionary, Style style, LineBreaks lineBreaks)
    : tables_(ConversionTables::For(dictionary)), style_(style), lineBreaks_(lineBreaks) {}

bool Utf8Converter::Feed(std::string_view bytes, std::string& out) {
  pending_.append(bytes);
  if (atStart_ && !SkipByteOrderMark(false)) return true;
  std::size_t limit = pending_.size() > kLookahead ? pending_.size() - kLookahead : 0;
  if (lineBreaks_ == LineBreaks::Keep) {
    // No rule's window matches across a line feed, so every line that has ended can be
    // written now, however short: a reader at the other end of a pipe sees it at once.
    const std::size_t lineFeed = pending_.rfind('\n');
    if (lineFeed != std::string::npos && lineFeed >= limit) limit = lineFeed + 1;
  }
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
        i = utf8::EndOfAsciiRun(text.substr(0, limit), i);
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

  // Two characters back hold the units the rules may look back at; the context kept from
  // earlier pieces always holds them whole.
  std::size_t from = at;
  for (std::size_t step = 0; step < kContextBehind && from > 0; ++step) {
    do {
      --from;
    } while (from > 0 && utf8::IsContinuation(data[from]));
  }
  std::array<char16_t, 2 * kContextBehind> before{};
  const std::size_t beforeCount = DecodeUnits(text, from, at, before.data(), 0, before.size());
  const std::size_t behind = std::min(beforeCount, kContextBehind);

  std::array<char16_t, kContextBehind + 1 + kContextAhead> window{};
  std::copy(before.begin() + static_cast<std::ptrdiff_t>(beforeCount - behind),
            before.begin() + static_cast<std::ptrdiff_t>(beforeCount), window.begin());
  window[behind] = character;
  const std::size_t size = DecodeUnits(text, at + length, text.size(), window.data(), behind + 1, window.size());
  return ContextAwareReading(std::u16string_view(window.data(), size), behind, entry, tables_);
}

}  // namespace mibolan
