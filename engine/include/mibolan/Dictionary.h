#pragma once

#include <string>
#include <string_view>

namespace mibolan {

// The built-in dictionary: one line "字 syl#" and "\n" per character that has a reading, in
// code-point order (UTF-8).
std::string DictionaryText();

// The dictionary's reading of `character` as a numbered syllable ("ren2"); empty when it has none.
std::string_view DictionaryReading(char16_t character);

}  // namespace mibolan
