#include "TransparentRuns.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "Utf.h"

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

void TransparentRuns::Split(std::u16string_view piece, std::u16string& read) {
  for (const char16_t unit : piece) {
    if (lead_ != 0) {
      const char16_t lead = std::exchange(lead_, 0);
      if (IsTrailSurrogate(unit)) {
        const char16_t pair[] = {lead, unit};
        Sort(0x10000 + ((char32_t{lead} - 0xD800) << 10) + (unit - 0xDC00), {pair, 2}, read);
        continue;
      }
      Sort(lead, {&lead, 1}, read);
    }
    if (IsLeadSurrogate(unit)) {
      lead_ = unit;
    } else {
      Sort(unit, {&unit, 1}, read);
    }
  }
}

void TransparentRuns::Finish(std::u16string& read) {
  if (lead_ != 0) {
    const char16_t lead = std::exchange(lead_, 0);
    Sort(lead, {&lead, 1}, read);
  }
  if (keepsRuns_ && !gathering_.empty()) runs_.push_back({passedOn_, std::move(gathering_)});
  gathering_.clear();
  tooLong_ = false;
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
    if (keepsRuns_ && !gathering_.empty()) runs_.push_back({passedOn_, std::move(gathering_)});
    gathering_.clear();
    tooLong_ = false;
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

void TransparentRuns::PassOn(std::u16string_view units, std::u16string& read) {
  read += units;
  passedOn_ += units.size();
}

}  // namespace mibolan
