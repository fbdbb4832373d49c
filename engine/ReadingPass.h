#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <mibolan/Options.h>

#include "ConversionTables.h"
#include "PolyphoneModel.h"
#include "ToneSandhi.h"
#include "UserWordIndex.h"
#include "WordList.h"

namespace mibolan {

// Whether none of the four units whose readings start at `readings` has one: the runs without
// (Latin text, digits, blanks) are passed over four units at a time.
inline bool NoneOfFourRead(const ReadingIndex* readings) {
  std::uint64_t four;
  std::memcpy(&four, readings, sizeof four);
  return four == 0;
}

// Chooses the readings of a text that arrives in pieces when they depend on more than the
// character and the rules' few neighbours: by word (the most probable segmentation over the word
// list, then each word's reading, the polyphone model and the character's own reading), and with
// the tone changes of 一 and 不. Each character's reading is decided as soon as the text that can
// change it has come, at most a word and a few characters later; the decisions do not depend on
// how the text is cut into pieces. No decision looks across a line feed, in either direction:
// the lines of a text may be converted apart (Utf8Converter's parts) and give the same output.
class ReadingPass {
 public:
  explicit ReadingPass(const ConversionOptions& options);

  // Appends the next piece of the text.
  void Feed(std::u16string_view piece);

  // Ends the text: everything left can be decided.
  void Finish();

  // The text kept so far, and the range of it that is decided and not yet handed out: indexes
  // [DecidedBegin(), DecidedEnd()) of Text().
  std::u16string_view Text() const { return text_; }
  std::size_t DecidedBegin() const { return handedOut_; }
  std::size_t DecidedEnd() const { return decided_; }

  // The reading of a decided unit, 0 for one that is not converted (the second unit of a
  // surrogate pair among them), and those of the decided units [begin, end); and whether a unit
  // ends a segment (a word of the list, or a unit on its own).
  ReadingIndex ReadingOf(std::size_t index) const { return readings_[index]; }
  std::span<const ReadingIndex> Readings(std::size_t begin, std::size_t end) const {
    return std::span(readings_).subspan(begin, end - begin);
  }
  bool EndsSegment(std::size_t index) const { return segmentEnd_[index]; }

  // The first decided unit of [from, to) with a reading, `to` when none has.
  std::size_t NextWithReading(std::size_t from, std::size_t to) const {
    const ReadingIndex* const readings = readings_.data();
    while (from + 4 <= to && NoneOfFourRead(readings + from)) from += 4;
    while (from < to && readings[from] == 0) ++from;
    return from;
  }

  // Marks the decided units before `end` handed out; the pass then keeps only the context that
  // later decisions look at, which may move the indexes of Text().
  void HandOut(std::size_t end);

  // Makes the pass ready for a new text.
  void Reset();

 private:
  // A block of text in which no natural cut between words comes for this many units is cut here
  // all the same, which bounds the look-ahead on any input. Real text has a cut every few
  // characters; the rule depends on the text alone, never on how it arrives.
  static constexpr std::size_t kLongestBlock = 32;

  void Advance();
  void Scan();
  bool InAnyWord(char16_t unit) const;
  void StartBlock(std::size_t at);
  void Offer(std::size_t i, std::size_t length, std::int64_t cost, WordList::WordId word);
  void EndBlock(std::size_t end);
  void ReadSegments();
  std::size_t SkipAsciiAlone(std::size_t at) const;
  void ReadSegment(std::size_t begin, std::size_t end);
  void ReadUserWord(std::size_t begin, std::size_t end);
  std::span<const std::uint16_t> WordReading(std::size_t begin, std::size_t end) const;
  struct DefaultChoice {
    ReadingIndex reading;
    bool firm;
  };
  DefaultChoice DefaultReading(std::size_t at, std::uint16_t entry, bool aloneInSegment) const;
  ReadingIndex ModelReading(std::size_t at, std::size_t begin, std::size_t end, DefaultChoice choice) const;
  bool StartsPhrase(std::size_t at) const;
  std::array<std::u16string_view, 4> Neighbours(std::size_t at) const;
  bool LineEndsWithin(std::size_t from) const;
  bool HasReading(std::size_t at) const;
  std::uint16_t OwnSyllableAt(std::size_t at) const;
  void ChangeTones(std::size_t end);
  WordPlace PlaceInWord(std::size_t at) const;
  void DropBefore(std::size_t index);

  ConversionOptions options_;
  const ConversionTables* tables_;
  const WordList* words_;
  const PolyphoneModel* model_;
  const UserWordIndex* userWords_ = nullptr;  // when reading by word with the user's words
  bool finished_ = false;

  // Arrays parallel to the text kept so far.
  std::u16string text_;
  std::u16string key_;                         // by word: the text as words are looked up in it
  std::vector<ReadingIndex> readings_;         // for units read
  std::vector<std::uint8_t> segmentEnd_;       // for units segmented
  std::vector<WordList::WordId> segmentWord_;  // at a segment's first unit: its word, or -1
  std::vector<std::uint8_t> userWordUnit_;     // with the user's words, for units read: in one of them

  // The segmentation of the block being scanned, by offsets from its start: for each end, the
  // least cost of reaching it so far, and the start and word of the last segment on that way.
  // Only the ends that are reached are read back: from_ and wordOf_ need no clearing.
  std::array<std::int64_t, kLongestBlock + 1> costs_;
  std::array<std::uint16_t, kLongestBlock + 1> from_;  // not a character type, which would alias everything
  std::array<WordList::WordId, kLongestBlock + 1> wordOf_;

  // Progress, as indexes into text_: every unit before each is done with that stage.
  std::size_t scanned_ = 0;     // its words are known
  std::size_t blockStart_ = 0;  // the segmentation block that is being scanned starts here
  std::size_t reach_ = 0;       // the furthest end of a word starting in the block
  std::size_t segmented_ = 0;   // belongs to a segment
  std::size_t read_ = 0;        // has the reading of its word or character
  std::size_t decided_ = 0;     // has its final reading, tone changes included
  std::size_t handedOut_ = 0;   // handed out
};

}  // namespace mibolan
