#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "ConversionTables.h"

namespace mibolan {

// The reading of the character at `index` of `text` with the tone changes of 一 and 不 that
// school textbooks print, given the readings decided for the text around it (`readings`,
// parallel to `text`, with the one after `index` decided too where the text goes on) and whether
// the character ends a word of two or more characters. Every other character keeps its reading.
ReadingIndex ToneAfterSandhi(std::u16string_view text, std::size_t index, const std::vector<ReadingIndex>& readings,
                             bool endsWord, const ConversionTables& tables);

}  // namespace mibolan
