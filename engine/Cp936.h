#pragma once

#include "UnitSet.h"

namespace mibolan {

namespace detail {

struct UnitRange {
  char16_t first;
  char16_t last;
};

inline constexpr UnitRange kCp936DoubleByteRanges[] = {
#include "data/Cp936DoubleByte.inc"
};

constexpr UnitSet MakeCp936DoubleByteSet() {
  UnitSet set;
  for (const UnitRange& range : kCp936DoubleByteRanges) set.InsertRange(range.first, range.last);
  return set;
}

inline constexpr UnitSet kCp936DoubleByte = MakeCp936DoubleByteSet();

}  // namespace detail

// True when code page 936 (GBK) writes the unit with two bytes, a lead byte 0x81..0xFE.
// Units it writes in one byte, and units it cannot write at all, give false.
constexpr bool IsDoubleByteInCp936(char16_t unit) { return detail::kCp936DoubleByte.Contains(unit); }

}  // namespace mibolan
