#pragma once

// What the fuzz targets share: invariant checks that end the run loudly, and the cutting of
// an input into pieces the way reads and pipes cut it.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace mibolan::fuzz {

inline void Check(bool holds, const char* invariant) {
  if (holds) return;
  std::fprintf(stderr, "invariant broken: %s\n", invariant);
  std::abort();
}

// Lengths of consecutive pieces that add up to `size`, drawn from `seed`; empty pieces included.
inline std::vector<std::size_t> PieceLengths(std::size_t size, std::uint32_t seed) {
  std::vector<std::size_t> lengths;
  std::uint32_t state = seed * 2654435761U + 1;
  while (size > 0) {
    state = state * 1664525U + 1013904223U;
    const std::size_t length = std::min<std::size_t>(size, (state >> 24) % 9);
    lengths.push_back(length);
    size -= length;
  }
  return lengths;
}

inline std::string WithoutLineEnds(std::string text) {
  std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
  return text;
}

}  // namespace mibolan::fuzz
