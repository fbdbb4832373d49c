#pragma once

#include <algorithm>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mibolan {

// A user's words as the reading pass looks them up: sorted, each with its syllable ids
// (word_table::SyllableId), one per UTF-16 unit, kNoSyllable on the second unit of a surrogate pair.
class UserWordIndex {
 public:
  static constexpr std::uint16_t kNoSyllable = 0xFFFF;

  struct Word {
    std::u16string text;
    std::vector<std::uint16_t> syllables;
    std::size_t line;  // where it was given, for messages
  };

  // Takes words in any order; the caller has checked that no text is given twice.
  explicit UserWordIndex(std::vector<Word> words);

  // Calls found(length, id) for every word that the `available` units at `text` start with,
  // shortest first. Returns false when the units ran out where a longer word could still follow.
  template <class Found>
  bool ForEachPrefix(const char16_t* text, std::size_t available, Found&& found) const {
    if (!starts_[text[0]]) return true;
    const std::size_t most = std::min(available, longest_);
    for (std::size_t length = 1; length <= most; ++length) {
      const std::u16string_view prefix(text, length);
      const auto at = std::lower_bound(
          words_.begin(), words_.end(), prefix,
          [](const Word& word, std::u16string_view key) { return std::u16string_view(word.text).compare(key) < 0; });
      if (at == words_.end() || !std::u16string_view(at->text).starts_with(prefix)) return true;
      if (at->text.size() == length) found(length, static_cast<std::int32_t>(at - words_.begin()));
    }
    return available >= longest_ || !LongerWordStartsWith(std::u16string_view(text, available));
  }

  // Whether the unit stands in any of the words.
  bool InAnyWord(char16_t unit) const { return units_[unit]; }

  const Word& At(std::int32_t id) const { return words_[static_cast<std::size_t>(id)]; }
  std::size_t size() const { return words_.size(); }

 private:
  bool LongerWordStartsWith(std::u16string_view prefix) const;

  std::vector<Word> words_;
  std::size_t longest_ = 0;
  std::bitset<0x10000> starts_;
  std::bitset<0x10000> units_;
};

}  // namespace mibolan
