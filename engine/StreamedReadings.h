#pragma once

#include <string>
#include <string_view>

#include <mibolan/Options.h>

namespace mibolan {

// Appends what a StreamConverter writes for `part` as UTF-16 rather than UTF-8, for a walk that
// needs a reading pass and writes the readings alone (Walk::WritesReadingsAlone()): ConvertText's
// output without a detour through UTF-8. `afterLineFeed` as for the StreamConverter.
void AppendStreamedReadings(std::u16string_view part, const ConversionOptions& options, bool afterLineFeed,
                            std::u16string& out);

}  // namespace mibolan
