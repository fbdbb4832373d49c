#pragma once

#include <string>
#include <string_view>

#include <mibolan/Export.h>

namespace mibolan {

// `text` (UTF-8; bytes that are not UTF-8 become U+FFFD) as an HTML page shows the same
// characters: markup characters become character references, as in the html style's output.
MIBOLAN_API std::string EscapeHtml(std::string_view text);

}  // namespace mibolan
