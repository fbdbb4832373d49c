#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <string>
#include <string_view>

namespace mibolan {

// Whether `code` is a character that shows nothing of its own and joins or marks its neighbours
// without being text: Unicode's default-ignorable code points (variation selectors, zero-width
// joiner and non-joiner, zero-width space, word joiner, soft hyphen, byte-order mark,
// bidirectional marks, tag characters), but for the Hangul fillers, which stand for a blank.
// Reading by word and the tone changes look through them: 银‍行 reads as 银行 does.
bool IsTransparentToWords(char32_t code);

// Sets the transparent characters of a text that arrives in pieces apart from the rest, so that
// the readings see the text without them, and keeps each run of them with its place: the number
// of units passed on before it. A run longer than kLongestRun units is passed on as text, which
// splits the word it stands in; so what is held stays small whatever the input, and the choice
// depends on the text alone, never on its pieces.
class TransparentRuns {
 public:
  static constexpr std::size_t kLongestRun = 32;
  static constexpr std::uint64_t kNone = std::numeric_limits<std::uint64_t>::max();

  // `keepsRuns` false: the runs are only left out, for styles that never write them.
  explicit TransparentRuns(bool keepsRuns) : keepsRuns_(keepsRuns) {}

  // The units of `piece` that the readings see: `piece` itself when it sets nothing aside, as in
  // most text, which has no transparent character; else `room`, filled with them.
  std::u16string_view Split(std::u16string_view piece, std::u16string& room);

  // Ends the text: a lead surrogate still waiting for its pair is passed on alone, and a run at
  // the end is kept at the end.
  void Finish(std::u16string& read);

  // The place of the first run kept, kNone when there is none; and that run, given up.
  std::uint64_t NextPlace() const { return runs_.empty() ? kNone : runs_.front().place; }
  std::u16string Take();

  // The run at `place` when it is the first one kept, given up; else nothing.
  std::u16string TakeAt(std::uint64_t place) { return NextPlace() == place ? Take() : std::u16string(); }

  // Gives up the runs placed at or before `place`.
  void DropThrough(std::uint64_t place);

 private:
  struct Run {
    std::uint64_t place;
    std::u16string units;
  };

  void SplitEach(std::u16string_view piece, std::u16string& read);
  void SplitUnit(char16_t unit, std::u16string& read);
  void Sort(char32_t code, std::u16string_view units, std::u16string& read);
  void EndRun();
  void PassOn(std::u16string_view units, std::u16string& read);

  bool keepsRuns_;
  std::deque<Run> runs_;
  std::u16string gathering_;  // the run being read, not yet ended by a unit that is passed on
  bool tooLong_ = false;      // the run being read is longer than kLongestRun and passed on
  char16_t lead_ = 0;         // a lead surrogate whose pair may come with the next piece
  std::uint64_t passedOn_ = 0;
};

}  // namespace mibolan
