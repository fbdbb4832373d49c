#include "ConversionTables.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <string>

#include "ContextReading.h"
#include "ContextRules.h"
#include "Cp936.h"
#include "MarkTone.h"
#include "Utf.h"
#include "data/CharDictionary.h"
#include "data/WordList.h"

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
    : entries_(0x10000, 0),
      firstRuleReading_(CharDictionary::Embedded().ReadingCount() + 1),
      firstSyllableReading_(firstRuleReading_ + kContextRules.size()),
      numbered_(1) {
  const CharDictionary& dictionary = CharDictionary::Embedded();
  // The dictionary's readings, then the rules', then every numbered syllable.
  for (std::size_t id = 1; id <= dictionary.ReadingCount(); ++id) {
    numbered_.emplace_back(dictionary.Numbered(static_cast<CharDictionary::ReadingId>(id)));
  }
  for (const ContextRule& rule : kContextRules) numbered_.emplace_back(rule.reading);
  std::map<std::string, std::uint16_t> syllableIds;
  for (std::size_t id = 0; id < WordList::SyllableIdCount(); ++id) {
    numbered_.push_back(WordList::NumberedSyllable(static_cast<std::uint16_t>(id)));
    syllableIds.emplace(numbered_.back(), static_cast<std::uint16_t>(id));
  }
  if (numbered_.size() >= kHasContextRules) throw std::length_error("too many readings for the conversion table");
  for (const std::string& numbered : numbered_) {
    const auto found = syllableIds.find(numbered);
    syllableIds_.push_back(found == syllableIds.end() ? kNoSyllable : found->second);
  }

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
  for (std::size_t reading = 1; reading < numbered_.size(); ++reading) {
    const std::string_view numbered = numbered_[reading];
    const std::u16string marked = MarkReading(numbered);
    const std::array<std::u16string, kFragmentStyles> texts = {
        marked + u' ',              // Style::Pinyin: "rén "
        u'(' + marked + u')',       // Style::Annotated, after the character: "(rén)"
        ToUtf16(numbered) + u' '};  // Style::Numbers: "ren2 "
    for (std::size_t style = 0; style < kFragmentStyles; ++style) {
      utf16_[style].push_back(MakeFragment(texts[style]));
      utf8_[style].push_back(MakeFragment(ToUtf8(texts[style])));
    }
    rubies_.push_back("<rp>(</rp><rt>" + ToUtf8(marked) + "</rt><rp>)</rp>");
  }
}

}  // namespace mibolan
