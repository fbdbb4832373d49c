#pragma once

#include <string>
#include <string_view>

namespace mibolan {

// Appends `text` as UTF-8 that an HTML page shows as the same characters: "&", "<", ">", '"'
// and "'" become character references. What a page cannot hold, a lone surrogate or U+0000,
// becomes U+FFFD. Characters that would act on the page instead of showing on it are made
// visible: the other control characters, tab and line breaks excepted, as their pictures
// (U+0001 as "␁" ... U+001F as "␟", U+007F as "␡"), the C1 controls U+0080 to U+009F and the
// bidirectional embeddings, overrides and isolates (U+202A to U+202E, U+2066 to U+2069), which
// would reorder the text after them, as U+FFFD.
void AppendHtmlText(std::string& out, std::u16string_view text);

// `text` (UTF-8; bytes that are not UTF-8 become U+FFFD) escaped as AppendHtmlText escapes it:
// the converter's page heading, as the html style writes text.
std::string EscapeHtml(std::string_view text);

}  // namespace mibolan
