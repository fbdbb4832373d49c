#pragma once

#include <string>
#include <string_view>

#include "data/CharDictionary.h"

namespace mibolan {

// How each converted character is written.
enum class Style {
  Pinyin,     // the marked syllable and a blank: "rén "
  Annotated,  // the character and its marked syllable in parentheses: "人(rén)"
};

// The pinyin of every Chinese character of `text` that the dictionary knows, in `style`.
// Everything else (Latin letters, digits, punctuation, blanks, line breaks, unknown
// characters) is left out.
std::u16string ConvertText(std::u16string_view text, const CharDictionary& dictionary, Style style);

}  // namespace mibolan
