#include "OptionChecks.h"

#include <stdexcept>
#include <string>

namespace mibolan {

namespace {

template <class Enumeration>
void RequireAtMost(Enumeration value, Enumeration last, const char* name) {
  const auto number = static_cast<long long>(value);
  if (number < 0 || number > static_cast<long long>(last)) {
    throw std::invalid_argument(std::string("mibolan: no ") + name + " has the value " + std::to_string(number));
  }
}

}  // namespace

const ConversionOptions& CheckedOptions(const ConversionOptions& options) {
  RequireAtMost(options.style, Style::Html, "Style");
  RequireAtMost(options.lineBreaks, LineBreaks::Keep, "LineBreaks");
  RequireAtMost(options.readBy, ReadBy::Word, "ReadBy");
  return options;
}

}  // namespace mibolan
