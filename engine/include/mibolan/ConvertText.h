#pragma once

#include <string>
#include <string_view>

#include <mibolan/Export.h>
#include <mibolan/Options.h>

namespace mibolan {

// The pinyin of every Chinese character of `text` that the dictionary knows, in `style`.
// Everything else (Latin letters, digits, punctuation, blanks, line breaks, unknown
// characters) is left out, except in Style::Html, which keeps it. Safe to call from any number of
// threads at once, like every free function of the library.
MIBOLAN_API std::u16string ConvertText(std::u16string_view text, Style style);

// The same with every option; with LineBreaks::Keep each line break of `text` is kept in place.
MIBOLAN_API std::u16string ConvertText(std::u16string_view text, const ConversionOptions& options);

}  // namespace mibolan
