#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include <mibolan/Export.h>

namespace mibolan {

class ReadingPass;
class UserWordIndex;

// A bad entry of a user's word list: its line (or, for entries given as a list, its position from
// 1) and what is wrong with it.
class MIBOLAN_API UserWordsError : public std::runtime_error {
 public:
  UserWordsError(std::size_t line, const std::string& reason) : std::runtime_error(reason), line_(line) {}
  std::size_t line() const { return line_; }

 private:
  std::size_t line_;
};

// Words whose reading the user decides: reading by word chooses each of them wherever it stands
// in the text, over every word of the built-in list, and gives its characters exactly the user's
// syllables (no tone changes either). Where two of them overlap, the segmentation covers as many
// characters with them as it can; between ways that cover as many, the usual word costs decide.
// A text in traditional characters matches a word written in simplified ones, and the other way
// round. Immutable: one list serves any number of conversions at once.
class MIBOLAN_API UserWords {
 public:
  // A word in UTF-8 and its reading: one syllable per character, separated by blanks, with tone
  // marks ("zhā liáng yōng") or tone digits ("zha1 liang2 yong1"); a syllable with neither is in
  // the neutral tone, and "v" may stand for "ü".
  struct Entry {
    std::string word;
    std::string reading;
  };

  // Throws UserWordsError, its line being the entry's position from 1, for an entry whose word
  // holds a character that reading by word does not read, is longer than kLongestWord units, or
  // whose reading is not one valid syllable per character; and for a word given twice with
  // different readings.
  explicit UserWords(std::span<const Entry> entries);

  // The entries of a user's word file: UTF-8, one "WORD READING" per line (the word, then a tab or
  // blanks, then the reading as above); "#" starts a comment, blank lines are passed over. Throws
  // UserWordsError naming the line of the first problem, bytes that are not UTF-8 included.
  static UserWords Parse(std::string_view text);

  // The longest word, in UTF-16 units: the segmentation looks no further ahead.
  static constexpr std::size_t kLongestWord = 32;

  std::size_t size() const;

 private:
  friend class ReadingPass;  // looks the words up
  const UserWordIndex& Index() const { return *index_; }

  explicit UserWords(std::span<const Entry> entries, std::span<const std::size_t> lines);

  std::shared_ptr<const UserWordIndex> index_;
};

}  // namespace mibolan
