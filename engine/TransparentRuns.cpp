#include "TransparentRuns.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <utility>

#include "Utf.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace mibolan {

namespace {

struct Range {
  char32_t first;
  char32_t last;
};

// Unicode's Default_Ignorable_Code_Point, less the Hangul fillers U+115F, U+1160, U+3164 and
// U+FFA0, in ascending order.
constexpr Range kTransparent[] = {
    {0x00AD, 0x00AD},    // soft hyphen
    {0x034F, 0x034F},    // combining grapheme joiner
    {0x061C, 0x061C},    // Arabic letter mark
    {0x17B4, 0x17B5},    // Khmer inherent vowels
    {0x180B, 0x180F},    // Mongolian variation selectors and vowel separator
    {0x200B, 0x200F},    // zero-width space, non-joiner and joiner; left-to-right and right-to-left marks
    {0x202A, 0x202E},    // bidirectional embeddings and overrides
    {0x2060, 0x206F},    // word joiner, invisible operators, bidirectional isolates, deprecated formats
    {0xFE00, 0xFE0F},    // variation selectors
    {0xFEFF, 0xFEFF},    // zero-width no-break space, the byte-order mark
    {0xFFF0, 0xFFF8},    // reserved
    {0x1BCA0, 0x1BCA3},  // shorthand format controls
    {0x1D173, 0x1D17A},  // musical format controls
    {0xE0000, 0xE0FFF},  // tag characters, variation selectors supplement, reserved
};

}  // namespace

bool IsTransparentToWords(char32_t code) {
  if (code < kTransparent[0].first) return false;
  const auto range = std::upper_bound(std::begin(kTransparent), std::end(kTransparent), code,
                                      [](char32_t value, const Range& each) { return value < each.first; });
  return range != std::begin(kTransparent) && code <= std::prev(range)->last;
}

namespace {

// The transparent units of the Basic Multilingual Plane, one bit each.
constexpr std::array<std::uint64_t, 0x10000 / 64> kTransparentUnits = [] {
  std::array<std::uint64_t, 0x10000 / 64> bits{};
  for (const Range& range : kTransparent) {
    for (char32_t code = range.first; code <= range.last && code < 0x10000; ++code) {
      bits[code / 64] |= std::uint64_t{1} << (code % 64);
    }
  }
  return bits;
}();

// Whether a unit is a character of its own that is not transparent: the units that nearly every
// text is made of, passed on in runs rather than one by one.
bool IsPlainUnit(char16_t unit) {
  return !IsLeadSurrogate(unit) && (kTransparentUnits[unit / 64] >> (unit % 64) & 1) == 0;
}

#if defined(__SSE2__)
// Whether the eight units at `units` all lie in ranges that hold no transparent unit and no lead
// surrogate: ASCII, the ideographs, and CJK and fullwidth punctuation among them.
bool SurelyPlain(const char16_t* units) {
  const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units));
  const __m128i sign = _mm_set1_epi16(static_cast<short>(0x8000));
  // first <= unit < end, compared without sign as SSE2 compares with one.
  const auto inRange = [&](std::uint16_t first, std::uint16_t end) {
    const __m128i offset = _mm_xor_si128(_mm_sub_epi16(block, _mm_set1_epi16(static_cast<short>(first))), sign);
    return _mm_cmplt_epi16(offset, _mm_set1_epi16(static_cast<short>((end - first) ^ 0x8000)));
  };
  const __m128i plain = _mm_or_si128(_mm_or_si128(inRange(0x0000, 0x00AD), inRange(0x2070, 0xD800)),
                                     _mm_or_si128(inRange(0xDC00, 0xFE00), inRange(0xFF00, 0xFFF0)));
  return _mm_movemask_epi8(plain) == 0xFFFF;
}
#endif

// The end of the run of plain units of `units` that starts at `at`: eight units at a time
// where the processor can and the ranges allow, one at a time elsewhere.
std::size_t EndOfPlainUnits(std::u16string_view units, std::size_t at) {
  for (;;) {
#if defined(__SSE2__)
    while (at + 8 <= units.size() && SurelyPlain(units.data() + at)) at += 8;
#endif
    const std::size_t stop = std::min(at + 8, units.size());
    while (at < stop && IsPlainUnit(units[at])) ++at;
    if (at < stop || at == units.size()) return at;
  }
}

}  // namespace

std::u16string_view TransparentRuns::Split(std::u16string_view piece, std::u16string& room) {
  // The plain units that the piece starts with are looked at once, whether or not they are all.
  const std::size_t plainEnd = lead_ == 0 ? EndOfPlainUnits(piece, 0) : 0;
  if (plainEnd > 0) EndRun();
  if (plainEnd == piece.size()) {
    passedOn_ += plainEnd;
    return piece;
  }
  room.clear();
  PassOn(piece.substr(0, plainEnd), room);
  SplitEach(piece.substr(plainEnd), room);
  return room;
}

void TransparentRuns::SplitEach(std::u16string_view piece, std::u16string& read) {
  std::size_t at = 0;
  while (at < piece.size()) {
    if (lead_ == 0 && IsPlainUnit(piece[at])) {
      const std::size_t end = EndOfPlainUnits(piece, at + 1);
      EndRun();
      PassOn(piece.substr(at, end - at), read);
      at = end;
      continue;
    }
    SplitUnit(piece[at++], read);
  }
}

// One unit that may be transparent or half of a surrogate pair.
void TransparentRuns::SplitUnit(char16_t unit, std::u16string& read) {
  if (lead_ != 0) {
    const char16_t lead = std::exchange(lead_, 0);
    if (IsTrailSurrogate(unit)) {
      const char16_t pair[] = {lead, unit};
      return Sort(0x10000 + ((char32_t{lead} - 0xD800) << 10) + (unit - 0xDC00), {pair, 2}, read);
    }
    Sort(lead, {&lead, 1}, read);
  }
  if (IsLeadSurrogate(unit)) {
    lead_ = unit;
  } else {
    Sort(unit, {&unit, 1}, read);
  }
}

void TransparentRuns::Finish(std::u16string& read) {
  if (lead_ != 0) {
    const char16_t lead = std::exchange(lead_, 0);
    Sort(lead, {&lead, 1}, read);
  }
  EndRun();
}

std::u16string TransparentRuns::Take() {
  std::u16string units = std::move(runs_.front().units);
  runs_.pop_front();
  return units;
}

void TransparentRuns::DropThrough(std::uint64_t place) {
  while (!runs_.empty() && runs_.front().place <= place) runs_.pop_front();
}

// One character, `units` long: gathered into the run when transparent, else passed on after the
// run it ends has been kept.
void TransparentRuns::Sort(char32_t code, std::u16string_view units, std::u16string& read) {
  if (!IsTransparentToWords(code)) {
    EndRun();
    PassOn(units, read);
  } else if (tooLong_) {
    PassOn(units, read);
  } else {
    gathering_ += units;
    if (gathering_.size() > kLongestRun) {
      PassOn(gathering_, read);
      gathering_.clear();
      tooLong_ = true;
    }
  }
}

// A unit that is passed on ends the run being read, which is kept in its place.
void TransparentRuns::EndRun() {
  if (keepsRuns_ && !gathering_.empty()) runs_.push_back({passedOn_, std::move(gathering_)});
  gathering_.clear();
  tooLong_ = false;
}

void TransparentRuns::PassOn(std::u16string_view units, std::u16string& read) {
  read += units;
  passedOn_ += units.size();
}

}  // namespace mibolan
