#pragma once

#include <string>
#include <string_view>

#include <mibolan/Export.h>
#include <mibolan/Options.h>

namespace mibolan {

// The pinyin of every Chinese character of `text` that the dictionary knows, in `style`.
// Everything else (Latin letters, digits, punctuation, blanks, line breaks, unknown
// characters) is left out, except in Style::Html, which keeps it (a lone surrogate as U+FFFD: the
// text is whatever a user typed, and there is no error to report). Safe to call from any number
// of threads at once, like every free function of the library; may throw std::bad_alloc.
MIBOLAN_API std::u16string ConvertText(std::u16string_view text, Style style);

// The same with every option; with LineBreaks::Keep each line break of `text` is kept in place.
// A long text (from half a million
// units) is shared with a second thread when options.threads allows (the default does, where the
// process may run on two processors); the second takes parts as it gets a processor, and this
// one never waits for it. Throws std::invalid_argument for an option out of its enumeration.
MIBOLAN_API std::u16string ConvertText(std::u16string_view text, const ConversionOptions& options);

}  // namespace mibolan
