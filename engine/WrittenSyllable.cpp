#include "WrittenSyllable.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <unordered_map>
#include <utility>

#include <mibolan/Syllables.h>
#include <utf8.h>

#include "MarkTone.h"
#include "Utf.h"
#include "WordList.h"

namespace mibolan {

namespace {

// A letter of a written syllable: its plain letter and the tone its mark gives (0: none).
struct Letter {
  char32_t plain;
  int tone;
};

// The vowels with a tone mark, in the order of tones 1 to 4, small and capital.
constexpr std::pair<char32_t, std::u32string_view> kMarkedVowels[] = {
    {U'a', U"āáǎàĀÁǍÀ"}, {U'e', U"ēéěèĒÉĚÈ"}, {U'i', U"īíǐìĪÍǏÌ"},
    {U'o', U"ōóǒòŌÓǑÒ"}, {U'u', U"ūúǔùŪÚǓÙ"}, {U'ü', U"ǖǘǚǜǕǗǙǛ"},
};

// Combining tone marks, for text typed in decomposed form: macron, acute, caron, grave.
constexpr std::u32string_view kCombiningTones = U"\u0304\u0301\u030C\u0300";
constexpr char32_t kCombiningDiaeresis = U'\u0308';

Letter ReadLetter(char32_t code) {
  if (code >= U'A' && code <= U'Z') code += U'a' - U'A';
  if (code == U'v' || code == U'Ü') return {U'ü', 0};
  for (const auto& [plain, marked] : kMarkedVowels) {
    const std::size_t at = marked.find(code);
    if (at != std::u32string_view::npos) return {plain, static_cast<int>(at % 4) + 1};
  }
  return {code, 0};
}

// The syllables of syllables.txt, without tone, and their line from 0.
const std::unordered_map<std::string, std::uint32_t>& SyllableIndexes() {
  static const std::unordered_map<std::string, std::uint32_t> indexes = [] {
    std::unordered_map<std::string, std::uint32_t> map;
    for (std::uint32_t index = 0; index * word_table::kTones < WordList::SyllableIdCount(); ++index) {
      std::string numbered = WordList::NumberedSyllable(word_table::SyllableId(index, 1));
      numbered.pop_back();
      map.emplace(std::move(numbered), index);
    }
    return map;
  }();
  return indexes;
}

}  // namespace

std::optional<std::uint16_t> ParseSyllable(std::u32string_view written) {
  std::u32string plain;
  int tone = 0;
  const auto setTone = [&tone](int value) {
    const bool first = tone == 0;
    tone = value;
    return first;
  };
  for (std::size_t i = 0; i < written.size(); ++i) {
    const char32_t code = written[i];
    const std::size_t combining = kCombiningTones.find(code);
    if (combining != std::u32string_view::npos) {
      if (plain.empty() || !setTone(static_cast<int>(combining) + 1)) return std::nullopt;
    } else if (code == kCombiningDiaeresis) {
      if (plain.empty() || plain.back() != U'u') return std::nullopt;
      plain.back() = U'ü';
    } else if (code >= U'1' && code <= U'5') {
      if (i + 1 != written.size() || !setTone(static_cast<int>(code - U'0'))) return std::nullopt;
    } else {
      const Letter letter = ReadLetter(code);
      if (letter.tone != 0 && !setTone(letter.tone)) return std::nullopt;
      plain.push_back(letter.plain);
    }
  }
  // After j, q, x and y the ü sound is written u.
  if (!plain.empty() && std::u32string_view(U"jqxy").find(plain[0]) != std::u32string_view::npos) {
    std::replace(plain.begin(), plain.end(), U'ü', U'u');
  }
  std::string key;
  utf8::utf32to8(plain.begin(), plain.end(), std::back_inserter(key));
  const auto found = SyllableIndexes().find(key);
  if (found == SyllableIndexes().end()) return std::nullopt;
  return word_table::SyllableId(found->second, tone == 0 ? 5 : static_cast<std::uint32_t>(tone));
}

namespace {

// The syllable written as one string of code points, or nothing for text that is not UTF-8.
std::optional<std::uint16_t> ParseUtf8Syllable(std::string_view written) {
  if (written.empty() || !utf8::is_valid(written.begin(), written.end())) return std::nullopt;
  return ParseSyllable(utf8::utf8to32(written));
}

}  // namespace

std::string ToToneMarks(std::string_view syllable) {
  const std::optional<std::uint16_t> id = ParseUtf8Syllable(syllable);
  return id ? ToUtf8(MarkReading(WordList::NumberedSyllable(*id))) : std::string();
}

std::string ToToneDigits(std::string_view syllable) {
  const std::optional<std::uint16_t> id = ParseUtf8Syllable(syllable);
  return id ? WordList::NumberedSyllable(*id) : std::string();
}

}  // namespace mibolan
