#include "WordCharacters.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "ConversionTables.h"

namespace mibolan {

namespace {

struct OwnReading {
  char32_t code;
  std::uint16_t syllable;
};

struct SimplifiedForm {
  char16_t from;
  char16_t to;
};

#include "CharacterTables.inc"

// One unit for each unit: looked up for every unit of a text read by word.
constexpr std::array<char16_t, 0x10000> kKeyUnits = [] {
  std::array<char16_t, 0x10000> units{};
  for (std::size_t unit = 0; unit < units.size(); ++unit) units[unit] = static_cast<char16_t>(unit);
  for (const SimplifiedForm& form : kSimplifiedForms) units[form.from] = form.to;
  return units;
}();

// The own syllable of every unit (OwnSyllableOfUnit), looked up for every unit that reading by
// word passes over: a search of kOwnReadings there would cost more than all the rest of the walk.
constexpr std::array<std::uint16_t, 0x10000> kUnitSyllables = [] {
  std::array<std::uint16_t, 0x10000> own{};
  own.fill(kNoOwnSyllable);
  for (const OwnReading& reading : kOwnReadings) {
    if (reading.code < 0x10000) own[reading.code] = reading.syllable;
  }
  std::array<std::uint16_t, 0x10000> units{};
  for (std::size_t unit = 0; unit < units.size(); ++unit) {
    const std::uint16_t simplified = own[kKeyUnits[unit]];
    units[unit] = simplified != kNoOwnSyllable ? simplified : own[unit];
  }
  return units;
}();

}  // namespace

std::uint16_t OwnSyllable(char32_t code) {
  const auto* const end = std::end(kOwnReadings);
  const auto* const found = std::lower_bound(
      std::begin(kOwnReadings), end, code, [](const OwnReading& reading, char32_t key) { return reading.code < key; });
  return found != end && found->code == code ? found->syllable : kNoOwnSyllable;
}

std::uint16_t OwnSyllableOfUnit(char16_t unit) { return kUnitSyllables[unit]; }

bool ReadsByWord(char32_t code) {
  if (code >= 0x10000) return OwnSyllable(code) != kNoOwnSyllable;
  const auto unit = static_cast<char16_t>(code);
  return ConversionTables::Get().Entry(KeyUnit(unit)) != 0 || OwnSyllableOfUnit(unit) != kNoOwnSyllable;
}

char16_t KeyUnit(char16_t unit) { return kKeyUnits[unit]; }

std::u16string KeyText(std::u16string_view text) {
  std::u16string key;
  AppendKeyText(text, key);
  return key;
}

void AppendKeyText(std::u16string_view text, std::u16string& key) {
  const std::size_t start = key.size();
  key.resize(start + text.size());
  std::transform(text.begin(), text.end(), key.begin() + static_cast<std::ptrdiff_t>(start), KeyUnit);
}

}  // namespace mibolan
