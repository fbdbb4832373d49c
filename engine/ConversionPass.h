#pragma once

// The walk by character shared by ConvertText, StreamConverter and ReadText.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "ContextReading.h"
#include "ContextRules.h"
#include "ConversionTables.h"
#include "Utf.h"
#include "Walk.h"
#include "Writers.h"

namespace mibolan {

// The rules look at most this far behind and ahead of a character.
inline constexpr std::size_t kContextBehind = 2;
inline constexpr std::size_t kContextAhead = 3;

// The rule that gives the reading of the rules' character at `index` of `text`, or -1: the rules
// see only its neighbourhood, and only whether one or two characters precede, so they are asked
// on that slice, which gives the same answer and keeps positions small.
inline int RuleIndexAt(std::u16string_view text, std::size_t index) {
  const std::size_t behind = std::min(index, kContextBehind);
  const std::u16string_view around = text.substr(index - behind, behind + 1 + kContextAhead);
  // Most often no neighbour is one that a rule compares: then the default rule answers at once.
  bool asked = false;
  for (std::size_t i = 0; i < around.size(); ++i) asked |= i != behind && kRuleLiteralUnits.Contains(around[i]);
  return asked ? ContextRuleIndex(text[index], around, static_cast<std::int32_t>(behind + 1))
               : DefaultRuleIndex(text[index]);
}

// The reading of a character whose table entry has kHasContextRules.
inline ReadingIndex ContextAwareReading(std::u16string_view text, std::size_t index, std::uint16_t entry,
                                        const ConversionTables& tables) {
  const int rule = RuleIndexAt(text, index);
  return rule >= 0 ? tables.RuleReading(rule) : static_cast<ReadingIndex>(entry & ~ConversionTables::kHasContextRules);
}

// The reading of the character at `index` of `text`, or 0 when it is not converted: it fails
// the code page 936 double-byte test, or no dictionary line has it as head.
inline ReadingIndex ReadingAt(std::u16string_view text, std::size_t index, const ConversionTables& tables) {
  const std::uint16_t entry = tables.Entry(text[index]);
  if ((entry & ConversionTables::kHasContextRules) == 0) return entry;
  return ContextAwareReading(text, index, entry, tables);
}

// Calls emit(character, reading) for every converted character at indexes [begin, end) of
// `text`, and keep(run) with each run of units between them, so that together the two calls see
// all of [begin, end) in order; the rest of `text` serves as context only.
template <class Emit, class Keep>
void ConvertRange(std::u16string_view text, std::size_t begin, std::size_t end, const ConversionTables& tables,
                  Emit&& emit, Keep&& keep) {
  std::size_t runStart = begin;
  for (std::size_t index = begin; index < end; ++index) {
    if (const ReadingIndex reading = ReadingAt(text, index, tables)) {
      if (runStart < index) keep(text.substr(runStart, index - runStart));
      emit(text[index], reading);
      runStart = index + 1;
    }
  }
  if (runStart < end) keep(text.substr(runStart, end - runStart));
}

// Appends the conversion of indexes [begin, end) of `text` with the fragments of one style.
// This is that walk written out for speed: the writer and the tables are locals, which the
// block's stores cannot alias.
template <class Char, bool kWritesCharacter>
void AppendFragments(std::u16string_view text, std::size_t begin, std::size_t end, const ConversionTables& tables,
                     Style style, std::basic_string<Char>& out) {
  typename FragmentWriter<Char>::Block block;
  FragmentWriter<Char> writer(block, tables, style, out);
  const std::uint16_t* const entries = tables.Entries();
  for (std::size_t index = begin; index < end; ++index) {
    const char16_t character = text[index];
    if constexpr (kWritesCharacter) {
      // ASCII is never converted, and in this style a unit that is not writes nothing: a run of
      // ASCII is passed over eight units at a time.
      if (character < 0x80) {
        index = EndOfAsciiUnits(text, index, end) - 1;
        continue;
      }
    }
    ReadingIndex reading = entries[character];
    if (reading & ConversionTables::kHasContextRules) reading = ContextAwareReading(text, index, reading, tables);
    writer.template Write<kWritesCharacter>(character, reading);
  }
  writer.Flush();
}

// Appends the conversion of indexes [begin, end) of `text` by the direct walk `walk`.
template <class Char>
void AppendConverted(std::u16string_view text, std::size_t begin, std::size_t end, const ConversionTables& tables,
                     const Walk& walk, std::basic_string<Char>& out) {
  if (walk.writesCharacter) {
    AppendFragments<Char, true>(text, begin, end, tables, walk.fragments, out);
  } else {
    AppendFragments<Char, false>(text, begin, end, tables, walk.fragments, out);
  }
}

// The conversion of `text` by the direct walk in the style Pinyin, Annotated or Numbers, cut
// into parts of `partUnits` units that a second thread shares (none when the text is one part,
// or `partUnits` is 0).
std::u16string ConvertDirectly(std::u16string_view text, Style style, std::size_t partUnits);

}  // namespace mibolan
