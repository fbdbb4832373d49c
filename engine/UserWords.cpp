#include <mibolan/UserWords.h>

#include <cstdio>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include <utf8.h>

#include "UserWordIndex.h"
#include "Utf.h"
#include "WordCharacters.h"
#include "WordList.h"
#include "WrittenSyllable.h"

namespace mibolan {

UserWordIndex::UserWordIndex(std::vector<Word> words) : words_(std::move(words)) {
  std::sort(words_.begin(), words_.end(), [](const Word& a, const Word& b) { return a.text < b.text; });
  for (const Word& word : words_) {
    longest_ = std::max(longest_, word.text.size());
    starts_.set(word.text[0]);
    for (const char16_t unit : word.text) units_.set(unit);
  }
}

bool UserWordIndex::LongerWordStartsWith(std::u16string_view prefix) const {
  const auto at = std::upper_bound(words_.begin(), words_.end(), prefix,
                                   [](std::u16string_view key, const Word& word) { return key < word.text; });
  return at != words_.end() && std::u16string_view(at->text).starts_with(prefix);
}

namespace {

constexpr std::u32string_view kBlanks = U" \t\u3000";

// The blank-separated pieces of a text.
std::vector<std::u32string_view> Pieces(std::u32string_view text) {
  std::vector<std::u32string_view> pieces;
  std::size_t at = text.find_first_not_of(kBlanks);
  while (at != std::u32string_view::npos) {
    const std::size_t end = std::min(text.find_first_of(kBlanks, at), text.size());
    pieces.push_back(text.substr(at, end - at));
    at = text.find_first_not_of(kBlanks, end);
  }
  return pieces;
}

std::string Utf8Of(std::u32string_view text) {
  std::string out;
  utf8::utf32to8(text.begin(), text.end(), std::back_inserter(out));
  return out;
}

std::string CodePointName(char32_t code) {
  char name[16];
  std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(code));
  return name;
}

std::string Counted(std::size_t count, const std::string& noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

// One entry, checked and in the form the reading pass looks up.
UserWordIndex::Word ReadEntry(const UserWords::Entry& entry, std::size_t line) {
  if (!utf8::is_valid(entry.word.begin(), entry.word.end()) ||
      !utf8::is_valid(entry.reading.begin(), entry.reading.end())) {
    throw UserWordsError(line, "the text is not valid UTF-8");
  }
  const std::u32string word = utf8::utf8to32(entry.word);
  const std::u32string reading = utf8::utf8to32(entry.reading);
  const std::vector<std::u32string_view> syllables = Pieces(reading);
  if (word.empty() || Pieces(word).size() != 1) throw UserWordsError(line, "expected one word and its reading");
  if (syllables.empty()) throw UserWordsError(line, "the word " + entry.word + " has no reading");
  UserWordIndex::Word result{.text = {}, .syllables = {}, .line = line};
  for (const char32_t code : word) {
    if (!ReadsByWord(code)) {
      throw UserWordsError(line, "\"" + Utf8Of(std::u32string(1, code)) + "\" (" + CodePointName(code) +
                                     ") is not a Chinese character that reading by word reads");
    }
    char16_t units[2];
    result.text.append(units, WriteUtf16(code, units));
  }
  if (result.text.size() > UserWords::kLongestWord) {
    throw UserWordsError(line, "the word " + entry.word + " is longer than the longest word the segmentation takes (" +
                                   std::to_string(UserWords::kLongestWord) + " UTF-16 units)");
  }
  if (syllables.size() != word.size()) {
    throw UserWordsError(line, "the reading has " + Counted(syllables.size(), "syllable") + " for the " +
                                   Counted(word.size(), "character") + " of " + entry.word);
  }
  for (std::size_t i = 0; i < word.size(); ++i) {
    const std::optional<std::uint16_t> id = ParseSyllable(syllables[i]);
    if (!id) throw UserWordsError(line, "\"" + Utf8Of(syllables[i]) + "\" is not a pinyin syllable");
    result.syllables.push_back(*id);
    if (word[i] >= 0x10000) result.syllables.push_back(UserWordIndex::kNoSyllable);
  }
  result.text = KeyText(result.text);
  return result;
}

}  // namespace

UserWords::UserWords(std::span<const Entry> entries) : UserWords(entries, {}) {}

UserWords::UserWords(std::span<const Entry> entries, std::span<const std::size_t> lines) {
  std::vector<UserWordIndex::Word> words;
  std::map<std::u16string, std::size_t> given;  // each word's place in `words`
  for (std::size_t i = 0; i < entries.size(); ++i) {
    UserWordIndex::Word word = ReadEntry(entries[i], lines.empty() ? i + 1 : lines[i]);
    const auto [at, added] = given.emplace(word.text, words.size());
    if (added) {
      words.push_back(std::move(word));
    } else if (words[at->second].syllables != word.syllables) {
      throw UserWordsError(word.line, "the word " + entries[i].word + " is already given another reading on line " +
                                          std::to_string(words[at->second].line));
    }
  }
  index_ = std::make_shared<const UserWordIndex>(std::move(words));
}

UserWords UserWords::Parse(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::vector<Entry> entries;
  std::vector<std::size_t> lines;
  std::size_t line = 0;
  while (!text.empty()) {
    ++line;
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view content = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (!utf8::is_valid(content.begin(), content.end())) throw UserWordsError(line, "the text is not valid UTF-8");
    if (content.ends_with('\r')) content.remove_suffix(1);
    content = content.substr(0, std::min(content.find('#'), content.size()));
    const std::size_t wordStart = content.find_first_not_of(" \t\r");
    if (wordStart == std::string_view::npos) continue;
    const std::size_t wordEnd = std::min(content.find_first_of(" \t", wordStart), content.size());
    entries.push_back(
        {std::string(content.substr(wordStart, wordEnd - wordStart)), std::string(content.substr(wordEnd))});
    lines.push_back(line);
  }
  return UserWords(entries, lines);
}

std::size_t UserWords::size() const { return index_->size(); }

}  // namespace mibolan
