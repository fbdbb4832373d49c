#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace mibolan {

// The syllable id (word_table::SyllableId) of a written syllable ("zhā", "Zha1", "lv4", "de"), or
// none when it is not a valid syllable: one tone at most, by a mark or a final digit; none is the
// neutral tone.
std::optional<std::uint16_t> ParseSyllable(std::u32string_view written);

}  // namespace mibolan
