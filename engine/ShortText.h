#pragma once

#include <cstdint>
#include <string_view>

namespace mibolan {

// A text of a few characters kept in the record itself, so that a table of them holds no
// pointers: plain read-only data, which starting the program neither relocates nor copies.
struct ShortText {
  char text[8];
  std::uint8_t size;

  constexpr std::string_view View() const { return {text, size}; }
};

}  // namespace mibolan
