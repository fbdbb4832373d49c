#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <mibolan/Export.h>

namespace mibolan {

// The built-in dictionary: one line "字 syl#" and "\n" per character that has a reading, in
// code-point order (UTF-8).
MIBOLAN_API std::string DictionaryText();

// The dictionary's reading of `character` as a numbered syllable ("ren2"); empty when it has none.
MIBOLAN_API std::string_view DictionaryReading(char16_t character);

// The same for any code point. A character without a line in the dictionary (those beyond the
// Basic Multilingual Plane among them) gives its own reading, the one that reading by word gives
// it (Unihan's, 〇 ling2, that of a compatibility ideograph's canonical character, or of a
// traditional character's simplified form), or empty when it has none either. The view lasts as
// long as the program.
MIBOLAN_API std::string_view DictionaryReading(char32_t character);

// Every reading that the conversion may give `character`, as numbered syllables, for tools that
// offer a choice (行: xing2, hang2, …): its dictionary reading (or own reading, as above) and
// every reading that the built-in word list gives it, or its simplified form, in some word. The
// most frequent in the word list's words come first, then those no word gives, the dictionary's
// first. Empty for a character that the conversion never reads.
MIBOLAN_API std::vector<std::string> ReadingsOf(char32_t character);

// Each function here may throw std::bad_alloc and nothing else, and is safe to call from any
// number of threads at once.

}  // namespace mibolan
