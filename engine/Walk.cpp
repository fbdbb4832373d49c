#include "Walk.h"

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

void CheckOptions(const ConversionOptions& options) {
  RequireAtMost(options.style, Style::Html, "Style");
  RequireAtMost(options.lineBreaks, LineBreaks::Keep, "LineBreaks");
  RequireAtMost(options.readBy, ReadBy::Word, "ReadBy");
  RequireAtMost(options.illFormed, IllFormed::Replace, "IllFormed");
}

Walk::Reading ReadingFor(const ConversionOptions& options) {
  if (options.readBy == ReadBy::Word) return Walk::Reading::ByWord;
  return options.toneSandhi ? Walk::Reading::ByCharacterWithToneChanges : Walk::Reading::ByCharacter;
}

}  // namespace

Walk ChooseWalk(const ConversionOptions& options) {
  CheckOptions(options);
  Walk walk;
  walk.reading = ReadingFor(options);
  walk.writer = options.style == Style::Html ? Walk::Writer::Ruby : Walk::Writer::Fragments;
  if (walk.writer == Walk::Writer::Fragments) walk.fragments = options.style;
  walk.writesCharacter = options.style == Style::Annotated;
  walk.keepsLines = options.lineBreaks == LineBreaks::Keep;
  return walk;
}

}  // namespace mibolan
