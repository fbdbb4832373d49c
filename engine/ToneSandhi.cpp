#include "ToneSandhi.h"

#include "WordTableFormat.h"

namespace mibolan {

namespace {

constexpr std::u16string_view kDigits = u"零〇一二三四五六七八九";
constexpr std::u16string_view kNumerals = u"零〇一二三四五六七八九十百千万亿两";

bool IsOneOf(std::u16string_view set, char16_t unit) { return set.find(unit) != std::u16string_view::npos; }

// The tone of the reading after `index` as the tone changes see it: a neutral tone stands for
// the character's own, which is the one spoken when it is not unstressed (一个 yí ge).
char NextTone(std::u16string_view text, std::size_t index, const std::vector<ReadingIndex>& readings,
              const ConversionTables& tables) {
  const ReadingIndex next = readings[index + 1];
  const char tone = tables.Tone(next);
  if (tone != '5') return tone;
  return tables.Tone(static_cast<ReadingIndex>(tables.Entry(text[index + 1]) & ~ConversionTables::kHasContextRules));
}

constexpr std::u16string_view kOperators = u"加减減乘除比";

// 一 reckoned with: a number of its own before or after an operator between numbers (一加一,
// 三减一, 一比二, 一等于); not the start of a larger number (乘一百六 chéng yì bǎi liù). `after` is
// the text after it, one or two units.
bool IsReckonedWith(std::u16string_view text, std::size_t index, std::u16string_view after) {
  if (after == u"等于" || (after.size() == 2 && IsOneOf(kOperators, after[0]) && IsOneOf(kNumerals, after[1]))) {
    return true;
  }
  return index >= 2 && IsOneOf(kOperators, text[index - 1]) && IsOneOf(kNumerals, text[index - 2]) &&
         !IsOneOf(kNumerals, after[0]);
}

// 一 keeps its own tone where it is a number said as a number: counted, ordered or reckoned with
// (第一, 十一, 一二三, 一九九八, 一月, 一号, 一年级, 一季度, 一加一), and at the end of a word.
// It is followed by a unit that is read.
bool OneKeepsItsTone(std::u16string_view text, std::size_t index, bool endsWord) {
  if (endsWord) return true;
  const char16_t previous = index > 0 ? text[index - 1] : u'\0';
  const std::u16string_view after = text.substr(index + 1, 2);
  const bool counted = previous == u'第' || IsOneOf(kNumerals, previous) || IsOneOf(kDigits, after[0]);
  const bool ordinal = IsOneOf(u"月号", after[0]) || after == u"年级" || after == u"年級" || after == u"季度";
  return counted || ordinal || IsReckonedWith(text, index, after);
}

// Between a word and its repetition 一 and 不 are unstressed: 看一看 kàn yi kàn, 看了一看,
// 去不去 qù bu qù. Not in 一步一步 or 一动不动, where 一 counts, nor where the character before
// belongs to a longer word (可能不能) or the word goes on after the repetition (数一数二).
bool IsBetweenARepetition(std::u16string_view text, std::size_t index, WordPlace place) {
  const char16_t next = text[index + 1];
  if (place.goesOnPastNext || place.afterWord) return false;
  if (index >= 1 && text[index - 1] == next) return index < 2 || text[index - 2] != u'一';
  return text[index] == u'一' && index >= 2 && text[index - 1] == u'了' && text[index - 2] == next;
}

}  // namespace

ReadingIndex ToneAfterSandhi(std::u16string_view text, std::size_t index, const std::vector<ReadingIndex>& readings,
                             WordPlace place, const ConversionTables& tables) {
  const ReadingIndex reading = readings[index];
  const char16_t character = text[index];
  const std::uint16_t syllable = tables.SyllableIdOf(reading);
  const char ownTone = character == u'一' ? '1' : '4';
  if (syllable == ConversionTables::kNoSyllable || tables.Tone(reading) != ownTone) return reading;

  const bool followed = index + 1 < text.size() && index + 1 < readings.size() && readings[index + 1] != 0;
  // Before anything that is not read, such as the end of a sentence, both keep their own tone.
  if (!followed) return reading;
  if (character == u'一' && OneKeepsItsTone(text, index, place.endsWord)) return reading;
  if (IsBetweenARepetition(text, index, place)) {
    return tables.SyllableReading(SyllableWithTone(syllable, '5'));
  }
  // Before a fourth tone both take the second; 一 takes the fourth before the others.
  const char next = NextTone(text, index, readings, tables);
  if (next == '4') return tables.SyllableReading(SyllableWithTone(syllable, '2'));
  if (character == u'不' || next == 0) return reading;
  return tables.SyllableReading(SyllableWithTone(syllable, '4'));
}

}  // namespace mibolan
