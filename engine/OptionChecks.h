#pragma once

#include <mibolan/Options.h>

namespace mibolan {

// `options` when every value in it is one that its enumeration names; else throws
// std::invalid_argument naming the option. Every entry point that takes options asks this first.
const ConversionOptions& CheckedOptions(const ConversionOptions& options);

}  // namespace mibolan
