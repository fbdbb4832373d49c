#pragma once

#include <string>
#include <string_view>

namespace mibolan {

// Appends `text` as UTF-8 that an HTML page shows as the same characters: "&", "<", ">", '"'
// and "'" become character references. What a page cannot hold, a lone surrogate or U+0000,
// becomes U+FFFD.
void AppendHtmlText(std::string& out, std::u16string_view text);

}  // namespace mibolan
