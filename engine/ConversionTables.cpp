#include "ConversionTables.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "ContextReading.h"
#include "ContextRules.h"
#include "Cp936.h"

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

const ConversionTables& ConversionTables::For(const CharDictionary& dictionary) {
  // The embedded dictionary is the only one there is, so one set of tables serves every pass.
  static const ConversionTables tables(dictionary);
  return tables;
}

ConversionTables::ConversionTables(const CharDictionary& dictionary)
    : entries_(0x10000, 0), forms_(1), firstRuleReading_(dictionary.ReadingCount() + 1) {
  for (std::size_t id = 1; id <= dictionary.ReadingCount(); ++id) {
    forms_.push_back(MakeReadingForms(dictionary.Numbered(static_cast<CharDictionary::ReadingId>(id))));
  }
  for (const ContextRule& rule : kContextRules) forms_.push_back(MakeReadingForms(rule.reading));
  if (forms_.size() >= kHasContextRules) throw std::length_error("too many readings for the conversion table");

  for (unsigned unit = dictionary.FirstHead(); unit <= dictionary.LastHead(); ++unit) {
    const auto c = static_cast<char16_t>(unit);
    const CharDictionary::ReadingId id = dictionary.ReadingIdOf(c);
    if (!IsDoubleByteInCp936(c) || id == CharDictionary::kNoReading) continue;
    entries_[unit] = static_cast<std::uint16_t>(id | (HasContextRules(c) ? kHasContextRules : 0));
  }

  for (const ReadingForms& forms : forms_) {
    utf8_[0].push_back(MakeFragment(forms.pinyin8));
    utf8_[1].push_back(MakeFragment(forms.annotated8));
    utf8_[2].push_back(MakeFragment(forms.numbers8));
    utf16_[0].push_back(MakeFragment(forms.pinyin16));
    utf16_[1].push_back(MakeFragment(forms.annotated16));
    utf16_[2].push_back(MakeFragment(forms.numbers16));
  }
}

}  // namespace mibolan
