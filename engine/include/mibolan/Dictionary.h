#pragma once

#include <string>
#include <string_view>

#include <mibolan/Export.h>

namespace mibolan {

// The built-in dictionary: one line "字 syl#" and "\n" per character that has a reading, in
// code-point order (UTF-8).
MIBOLAN_API std::string DictionaryText();

// The dictionary's reading of `character` as a numbered syllable ("ren2"); empty when it has none.
MIBOLAN_API std::string_view DictionaryReading(char16_t character);

}  // namespace mibolan
