#include "ConversionTables.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "ContextReading.h"
#include "ContextRules.h"
#include "Cp936.h"
#include "MarkTone.h"
#include "Utf.h"
#include "data/CharDictionary.h"

namespace mibolan {

namespace {

static_assert(static_cast<int>(Style::Pinyin) == 0 && static_cast<int>(Style::Annotated) == 1 &&
              static_cast<int>(Style::Numbers) == 2);

template <class Char>
Fragment<Char> MakeFragment(const std::basic_string<Char>& text) {
  Fragment<Char> fragment;
  if (text.size() > fragment.text.size()) throw std::length_error("reading too long for the output table");
  std::copy(text.begin(), text.end(), fragment.text.begin());
  fragment.size = static_cast<std::uint8_t>(text.size());
  return fragment;
}

}  // namespace

const ConversionTables& ConversionTables::Get() {
  static const ConversionTables tables;
  return tables;
}

ConversionTables::ConversionTables()
    : entries_(0x10000, 0), firstRuleReading_(CharDictionary::Embedded().ReadingCount() + 1), numbered_(1) {
  const CharDictionary& dictionary = CharDictionary::Embedded();
  // The dictionary's readings, then the rules'.
  std::vector<std::string_view> readings;
  for (std::size_t id = 1; id <= dictionary.ReadingCount(); ++id) {
    readings.push_back(dictionary.Numbered(static_cast<CharDictionary::ReadingId>(id)));
  }
  for (const ContextRule& rule : kContextRules) readings.push_back(rule.reading);
  if (readings.size() + 1 >= kHasContextRules) throw std::length_error("too many readings for the conversion table");

  for (unsigned unit = dictionary.FirstHead(); unit <= dictionary.LastHead(); ++unit) {
    const auto c = static_cast<char16_t>(unit);
    const CharDictionary::ReadingId id = dictionary.ReadingIdOf(c);
    if (!IsDoubleByteInCp936(c) || id == CharDictionary::kNoReading) continue;
    entries_[unit] = static_cast<std::uint16_t>(id | (HasContextRules(c) ? kHasContextRules : 0));
  }

  // Reading 0, a unit that is not converted, writes nothing.
  for (auto& fragments : utf16_) fragments.emplace_back();
  for (auto& fragments : utf8_) fragments.emplace_back();
  rubies_.emplace_back();
  numbered_.insert(numbered_.end(), readings.begin(), readings.end());
  for (std::string_view numbered : readings) {
    const std::u16string marked = MarkReading(numbered);
    const std::array<std::u16string, kFragmentStyles> texts = {
        marked + u' ',              // Style::Pinyin: "rén "
        u'(' + marked + u')',       // Style::Annotated, after the character: "(rén)"
        ToUtf16(numbered) + u' '};  // Style::Numbers: "ren2 "
    for (std::size_t style = 0; style < kFragmentStyles; ++style) {
      utf16_[style].push_back(MakeFragment(texts[style]));
      utf8_[style].push_back(MakeFragment(ToUtf8(texts[style])));
    }
    rubies_.push_back("<rp>(</rp><rt>" + ToUtf8(marked) + "</rt><rp>)</rp></ruby>");
  }
}

}  // namespace mibolan
