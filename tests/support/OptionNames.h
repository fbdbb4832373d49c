#pragma once

// Conversion options in words, for the messages of tests that run through many of them.

#include <string>

#include <mibolan/Options.h>

namespace mibolan::testing_support {

inline std::string Describe(const ConversionOptions& options) {
  std::string name = options.readBy == ReadBy::Word ? "words" : "characters";
  if (options.toneSandhi) name += ", tone changes";
  name += ", style " + std::to_string(static_cast<int>(options.style));
  if (options.lineBreaks == LineBreaks::Keep) name += ", kept lines";
  return name;
}

}  // namespace mibolan::testing_support
