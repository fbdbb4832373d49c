#pragma once

#include <array>
#include <cstdint>

namespace mibolan {

// A set of UTF-16 units, one bit per unit, that can be filled at compile time.
class UnitSet {
 public:
  constexpr void Insert(char16_t unit) { bits_[unit / 64] |= std::uint64_t{1} << (unit % 64); }

  constexpr void InsertRange(char16_t first, char16_t last) {
    for (unsigned unit = first; unit <= last; ++unit) Insert(static_cast<char16_t>(unit));
  }

  constexpr bool Contains(char16_t unit) const { return (bits_[unit / 64] >> (unit % 64)) & 1U; }

 private:
  std::array<std::uint64_t, 65536 / 64> bits_{};
};

}  // namespace mibolan
