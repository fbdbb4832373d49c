#pragma once

// The walk shared by ConvertText and StreamConverter.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "ContextReading.h"
#include "ConvertText.h"
#include "Cp936.h"
#include "ReadingForms.h"
#include "Utf.h"
#include "data/CharDictionary.h"

namespace mibolan {

// The rules look at most this far behind and ahead of a character.
inline constexpr std::size_t kContextBehind = 2;
inline constexpr std::size_t kContextAhead = 3;

// The reading forms for the character at `index` of `text`, or nullptr when it is not converted:
// it fails the code page 936 double-byte test, or no dictionary line has it as head.
inline const ReadingForms* ReadingAt(std::u16string_view text, std::size_t index, const CharDictionary& dictionary) {
  const char16_t c = text[index];
  if (!IsDoubleByteInCp936(c)) return nullptr;
  const CharDictionary::ReadingId id = dictionary.ReadingIdOf(c);
  if (id == CharDictionary::kNoReading) return nullptr;
  if (HasContextRules(c)) {
    // The rules see only their neighbourhood, and only whether one or two characters precede:
    // asking them on that slice gives the same answer and keeps positions small.
    const std::size_t behind = std::min(index, kContextBehind);
    const std::u16string_view around = text.substr(index - behind, behind + 1 + kContextAhead);
    const int rule = ContextRuleIndex(c, around, static_cast<std::int32_t>(behind + 1));
    if (rule >= 0) return &ContextRuleForms(rule);
  }
  return &dictionary.Forms(id);
}

// Calls emit(character, forms) for every converted character at indexes [begin, end) of
// `text`; the rest of `text` serves as context only.
template <class Emit>
void ConvertRange(std::u16string_view text, std::size_t begin, std::size_t end, const CharDictionary& dictionary,
                  Emit&& emit) {
  for (std::size_t index = begin; index < end; ++index) {
    if (const ReadingForms* forms = ReadingAt(text, index, dictionary)) emit(text[index], *forms);
  }
}

// Like the walk above, and calls keep(run) with each run of units between converted characters,
// so that together the two calls see all of [begin, end) in order.
template <class Emit, class Keep>
void ConvertRange(std::u16string_view text, std::size_t begin, std::size_t end, const CharDictionary& dictionary,
                  Emit&& emit, Keep&& keep) {
  std::size_t runStart = begin;
  for (std::size_t index = begin; index < end; ++index) {
    if (const ReadingForms* forms = ReadingAt(text, index, dictionary)) {
      if (runStart < index) keep(text.substr(runStart, index - runStart));
      emit(text[index], *forms);
      runStart = index + 1;
    }
  }
  if (runStart < end) keep(text.substr(runStart, end - runStart));
}

// Style::Html never comes here: ConvertText makes it through the UTF-8 walk of StreamConverter.
inline void AppendConverted(std::u16string& out, Style style, char16_t character, const ReadingForms& forms) {
  if (style == Style::Annotated) {
    out.push_back(character);
    out += forms.annotated16;
  } else if (style == Style::Numbers) {
    out += forms.numbers16;
  } else {
    out += forms.pinyin16;
  }
}

inline void AppendConverted(std::string& out, Style style, char16_t character, const ReadingForms& forms) {
  switch (style) {
    case Style::Pinyin:
      out += forms.pinyin8;
      break;
    case Style::Annotated:
      AppendUtf8(out, character);
      out += forms.annotated8;
      break;
    case Style::Numbers:
      out += forms.numbers8;
      break;
    case Style::Html:
      out += "<ruby>";
      AppendUtf8(out, character);
      out += forms.ruby8;
      break;
  }
}

}  // namespace mibolan
