#include "Utf8Walk.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "ConversionPass.h"
#include "Utf.h"
#include "Writers.h"

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
std::size_t DecodeUnits(std::string_view text, std::size_t from, std::size_t end, char16_t* units, std::size_t count,
                        std::size_t capacity) {
  const auto* const data = reinterpret_cast<const unsigned char*>(text.data());
  while (from < end && count < capacity) {
    // Chinese text is ASCII and three-byte characters nearly throughout.
    if (data[from] < 0x80) {
      units[count++] = data[from++];
      continue;
    }
    if (from + 3 <= end) {
      if (const char16_t unit = DecodeThreeByteUtf8(data + from)) {
        units[count++] = unit;
        from += 3;
        continue;
      }
    }
    char32_t code = 0;
    const int length = DecodeUtf8Sequence(text.substr(from, end - from), code);
    if (length <= 0) break;
    std::array<char16_t, 2> pair{};
    const char16_t* const pairEnd = WriteUtf16(code, pair.data());
    for (const char16_t* unit = pair.data(); unit != pairEnd && count < capacity; ++unit) units[count++] = *unit;
    from += static_cast<std::size_t>(length);
  }
  return count;
}

}  // namespace

Utf8Walk::Utf8Walk(const Walk& walk, std::uint64_t lineStart)
    : tables_(ConversionTables::Get()),
      fragments_(walk.fragments),
      writesCharacter_(walk.writesCharacter),
      keepsLines_(walk.keepsLines),
      atStart_(lineStart == 0) {
  if (lineStart > 0) {
    // The line feed before the text is context, already converted: the rules see, as in the
    // whole text, that characters come before.
    pending_.push_back('\n');
    next_ = 1;
    dropped_ = lineStart - 1;
  }
}

bool Utf8Walk::Feed(std::string_view bytes, std::string& out) {
  pending_.append(bytes);
  if (atStart_ && !SkipByteOrderMark(false)) return true;
  std::size_t limit = pending_.size() > kLookahead ? pending_.size() - kLookahead : 0;
  if (keepsLines_) {
    // No rule's window matches across a line feed, so every line that has ended can be
    // written now, however short: a reader at the other end of a pipe sees it at once.
    const std::size_t lineFeed = pending_.rfind('\n');
    if (lineFeed != std::string::npos && lineFeed >= limit) limit = lineFeed + 1;
  }
  bool ok = Convert(limit, false, out);
  // The look-ahead not yet converted is checked now, so that this call reports what it was given.
  if (ok) ok = CheckLookahead();
  // Keep only the context that the rules may still look back at.
  if (next_ > kContextBytes) {
    const std::size_t drop = next_ - kContextBytes;
    pending_.erase(0, drop);
    dropped_ += drop;
    next_ -= drop;
  }
  return ok;
}

bool Utf8Walk::Finish(std::string& out) {
  if (atStart_) SkipByteOrderMark(true);
  const bool ok = Convert(pending_.size(), true, out);
  endsWithLineFeed_ = !pending_.empty() && pending_.back() == '\n';
  pending_.clear();
  next_ = 0;
  return ok;
}

// A byte-order mark at the very start is no part of the text. False while too few bytes have
// come to tell.
bool Utf8Walk::SkipByteOrderMark(bool final) {
  if (!final && pending_.size() < kByteOrderMark.size() && kByteOrderMark.starts_with(pending_)) return false;
  if (std::string_view(pending_).starts_with(kByteOrderMark)) {
    pending_.erase(0, kByteOrderMark.size());
    dropped_ += kByteOrderMark.size();
  }
  atStart_ = false;
  return true;
}

// False at an ill-formed sequence in the bytes not yet converted, which then end the text there
// (a character that the piece cuts off may still be completed by the next).
bool Utf8Walk::CheckLookahead() {
  const std::string_view text = pending_;
  for (std::size_t i = EndOfAsciiRun(text, next_); i < text.size(); i = EndOfAsciiRun(text, i)) {
    char32_t code = 0;
    const int decoded = DecodeUtf8Sequence(text.substr(i), code);
    if (decoded == kUtf8NeedMore) return true;
    if (decoded == kUtf8IllFormed) {
      errorOffset_ = dropped_ + i;
      truncated_ = false;
      pending_.resize(i);  // what comes before is converted as if nothing followed
      return false;
    }
    i += static_cast<std::size_t>(decoded);
  }
  return true;
}

bool Utf8Walk::Fail(std::size_t at, bool truncated) {
  errorOffset_ = dropped_ + at;
  truncated_ = truncated;
  // The text ends where it goes wrong: what comes before is converted as if nothing followed.
  pending_.resize(at);
  next_ = at;
  return false;
}

// Converts the characters that start before `limit`.
bool Utf8Walk::Convert(std::size_t limit, bool final, std::string& out) {
  return writesCharacter_ ? ConvertWith<true>(limit, final, out) : ConvertWith<false>(limit, final, out);
}

// The walk for one style. ASCII goes by in runs (only line feeds may write something); runs of
// three-byte characters, which hold all of CJK, take the tight loop; everything else, ill-formed
// sequences included, the general decoder.
template <bool kWritesCharacter>
bool Utf8Walk::ConvertWith(std::size_t limit, bool final, std::string& out) {
  const unsigned char* const data = BytesOf(pending_);
  const std::string_view text = pending_;
  const std::uint16_t* const entries = tables_.Entries();
  const bool keepLines = keepsLines_;
  FragmentWriter<char>::Block block;
  FragmentWriter<char> writer(block, tables_, fragments_, out);
  const auto write = [&](std::size_t at, std::size_t length, char16_t character, std::uint16_t entry) {
    writer.Write<kWritesCharacter>(
        character, entry & ConversionTables::kHasContextRules ? ReadingInContext(at, length, character, entry) : entry);
  };
  std::size_t i = next_;
  while (i < limit) {
    if (data[i] < 0x80) {
      const std::size_t end = EndOfAsciiRun(text.substr(0, limit), i);
      for (const unsigned char* lineFeed; keepLines && (lineFeed = static_cast<const unsigned char*>(
                                                            std::memchr(data + i, '\n', end - i))) != nullptr;) {
        i = static_cast<std::size_t>(lineFeed - data) + 1;
        writer.Out() += LineBreakAt(text, i - 1);
      }
      i = end;
      continue;
    }
    for (char16_t unit; i < limit && i + 3 <= text.size() && (unit = DecodeThreeByteUtf8(data + i)) != 0; i += 3) {
      write(i, 3, unit, entries[unit]);
    }
    if (i >= limit || data[i] < 0x80) continue;
    char32_t code = 0;
    const int decoded = DecodeUtf8Sequence(text.substr(i), code);
    if (decoded == kUtf8IllFormed || (decoded == kUtf8NeedMore && final)) {
      writer.Flush();
      return Fail(i, decoded == kUtf8NeedMore);
    }
    if (decoded == kUtf8NeedMore) break;  // the rest of the character is still to come
    const auto length = static_cast<std::size_t>(decoded);
    write(i, length, static_cast<char16_t>(code), code < 0x10000 ? entries[code] : 0);
    i += length;
  }
  writer.Flush();
  next_ = i;
  return true;
}

// The reading of `character`, `length` bytes at `at`, chosen by the rules from the units
// around it: up to two before (all checked already) and up to three after, as far as the text
// is well formed.
ConversionTables::ReadingIndex Utf8Walk::ReadingInContext(std::size_t at, std::size_t length, char16_t character,
                                                          std::uint16_t entry) const {
  const unsigned char* const data = BytesOf(pending_);
  const std::string_view text = pending_;

  // Two characters back hold the units the rules may look back at; the context kept from
  // earlier pieces always holds them whole.
  std::size_t from = at;
  for (std::size_t step = 0; step < kContextBehind && from > 0; ++step) {
    do {
      --from;
    } while (from > 0 && IsUtf8Continuation(data[from]));
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
