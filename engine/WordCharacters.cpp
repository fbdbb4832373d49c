#include "WordCharacters.h"

#include "ConversionTables.h"

namespace mibolan {

bool ReadsByWord(char32_t code) { return code < 0x10000 && ConversionTables::Get().Entry(static_cast<char16_t>(code)) != 0; }

char16_t KeyUnit(char16_t unit) { return unit; }

std::u16string KeyText(std::u16string_view text) {
  std::u16string key(text);
  for (char16_t& unit : key) unit = KeyUnit(unit);
  return key;
}

}  // namespace mibolan
