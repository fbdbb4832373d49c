#include "ConversionTables.h"

namespace mibolan {

namespace {
#include "ConversionTables.inc"
}  // namespace

const ConversionTables& ConversionTables::Get() {
  static constexpr ConversionTables tables{
      kEntries,
      kFirstRuleReading,
      kFirstSyllableReading,
      kNumbered,
      kSyllableIds,
      {kUtf8Fragments[0], kUtf8Fragments[1], kUtf8Fragments[2]},
      {kUtf16Fragments[0], kUtf16Fragments[1], kUtf16Fragments[2]},
  };
  return tables;
}

}  // namespace mibolan
