#include "Utf8Decoder.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "Utf.h"

namespace mibolan {

namespace {

// Widens the run of ASCII bytes that starts at `i`; returns the index of the first byte after it.
std::size_t CopyAscii(std::string_view bytes, std::size_t i, char16_t*& next) {
  const std::size_t end = EndOfAsciiRun(bytes, i);
  for (; i < end; ++i) *next++ = static_cast<unsigned char>(bytes[i]);
  return end;
}

// Decodes the run of well-formed three-byte characters that starts at `i`; returns the index
// of the first byte after the run. Anything else, overlong forms and surrogates included, ends
// the run and is left to the general path.
std::size_t CopyThreeByteRun(std::string_view bytes, std::size_t i, char16_t*& next) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  for (; i + 3 <= bytes.size(); i += 3) {
    const char16_t unit = DecodeThreeByteUtf8(data + i);
    if (unit == 0) break;
    *next++ = unit;
  }
  return i;
}

}  // namespace

char16_t* Utf8Decoder::Append(char32_t code, char16_t* next) {
  if (atStart_) {
    atStart_ = false;
    if (code == 0xFEFF) return next;
  }
  return WriteUtf16(code, next);
}

bool Utf8Decoder::Fail(std::uint64_t offset) {
  errorOffset_ = offset;
  return false;
}

// Completes the character that the previous piece cut off, taking bytes from `bytes`.
bool Utf8Decoder::DecodeCarried(std::string_view& bytes, std::u16string& out) {
  const std::uint64_t start = offset_ - carried_.size();
  while (!bytes.empty()) {
    carried_.push_back(bytes.front());
    bytes.remove_prefix(1);
    ++offset_;
    char32_t code = 0;
    const int length = DecodeUtf8Sequence(carried_, code);
    if (length == kUtf8IllFormed) return Fail(start);
    if (length > 0) {
      carried_.clear();
      std::array<char16_t, 2> units{};
      out.append(units.data(), Append(code, units.data()));
      return true;
    }
  }
  return true;
}

bool Utf8Decoder::Decode(std::string_view bytes, std::u16string& out) {
  if (!carried_.empty() && !DecodeCarried(bytes, out)) return false;
  if (!carried_.empty()) return true;  // the piece ended inside the same character
  // Every byte gives at most one unit: write into room made once, then trim.
  const std::size_t start = out.size();
  out.resize(start + bytes.size());
  char16_t* const first = out.data() + start;
  char16_t* next = first;
  const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  bool ok = true;
  std::size_t i = 0;
  while (i < bytes.size()) {
    const unsigned char byte = byteAt(i);
    if (!atStart_) {
      // The common cases in runs of their own: ASCII, and three-byte characters, which hold
      // all of CJK.
      if (byte < 0x80) {
        i = CopyAscii(bytes, i, next);
        continue;
      }
      const std::size_t runEnd = CopyThreeByteRun(bytes, i, next);
      if (runEnd != i) {
        i = runEnd;
        continue;
      }
    }
    char32_t code = byte;
    int length = 1;
    if (byte >= 0x80) length = DecodeUtf8Sequence(bytes.substr(i), code);
    if (length == kUtf8IllFormed) {
      ok = Fail(offset_ + i);
      break;
    }
    if (length == kUtf8NeedMore) {
      carried_.assign(bytes.substr(i));
      break;
    }
    next = Append(code, next);
    i += static_cast<std::size_t>(length);
  }
  out.resize(start + static_cast<std::size_t>(next - first));
  offset_ += bytes.size();
  return ok;
}

bool Utf8Decoder::Finish() {
  if (carried_.empty()) return true;
  return Fail(offset_ - carried_.size());
}

}  // namespace mibolan
