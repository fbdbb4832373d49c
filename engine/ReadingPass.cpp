#include "ReadingPass.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <span>

#include "ConversionPass.h"
#include "ToneSandhi.h"
#include "Utf.h"
#include "WordCharacters.h"

#include <mibolan/UserWords.h>

namespace mibolan {

namespace {

// How far the choice of a reading looks around its character: the rules look three units ahead
// and two behind; the segment before may be a whole word.
constexpr std::size_t kReadAhead = 4;  // the rules' three units, the model's two characters
constexpr std::size_t kReadBehind = word_table::kMaxWordLength + 4;

// Handed-out text is dropped in chunks of at least this many units.
constexpr std::size_t kDropChunk = 1 << 14;

constexpr std::uint8_t kSegmentEnd = 1;

// The cost of an end of the block that no way reaches yet.
constexpr std::int64_t kUnreached = std::numeric_limits<std::int64_t>::max();

// A user's word costs this much less than nothing per unit, more than any way through a block can
// cost without it (a cost is below 100 ln(total frequency) < 4,400, a block at most 32 units):
// the segmentation covers as many units with the user's words as it can.
constexpr std::int64_t kUserWordBonus = std::int64_t{1} << 24;

// Segment words of the user's list go by ids below -1: -2 - their index in the list.
constexpr WordList::WordId UserWordId(std::int32_t index) { return -2 - index; }
constexpr std::int32_t UserWordIndexOf(WordList::WordId word) { return -2 - word; }

}  // namespace

ReadingPass::ReadingPass(const ConversionOptions& options)
    : options_(options),
      tables_(&ConversionTables::Get()),
      words_(&WordList::Embedded()),
      model_(&PolyphoneModel::Embedded()) {
  costs_.fill(kUnreached);
  costs_[0] = 0;
  if (options_.readBy == ReadBy::Word && options_.userWords) userWords_ = &options_.userWords->Index();
  StartBlock(0);
}

void ReadingPass::Feed(std::u16string_view piece) {
  text_ += piece;
  if (options_.readBy == ReadBy::Word) AppendKeyText(piece, key_);
  readings_.resize(text_.size());  // 0, no reading, until one is read
  if (userWords_) userWordUnit_.resize(text_.size());
  segmentEnd_.resize(text_.size());
  segmentWord_.resize(text_.size());
  Advance();
}

void ReadingPass::Finish() {
  finished_ = true;
  Advance();
}

void ReadingPass::Reset() { *this = ReadingPass(options_); }

void ReadingPass::Advance() {
  Scan();
  ReadSegments();
  // The tone of 一 and 不 changes with the reading that follows.
  const bool waitsForNext = options_.toneSandhi && !finished_ && read_ > 0 && ChangesTone(text_[read_ - 1]);
  const std::size_t end = waitsForNext ? read_ - 1 : read_;
  if (end > decided_) ChangeTones(end);
}

// Finds the words that start at each unit, and cuts the text into blocks wherever no word
// reaches across: the best segmentation of a block does not depend on the text around it. The
// segmentation goes along with the scan: a unit's words are offered as ways on as soon as they
// are found, the least cost of reaching the unit being known by then (every word that ends there
// starts before it).
void ReadingPass::Scan() {
  if (options_.readBy == ReadBy::Character) {
    // Every unit is a segment of its own.
    for (; segmented_ < text_.size(); ++segmented_) {
      segmentEnd_[segmented_] = kSegmentEnd;
      segmentWord_[segmented_] = -1;
    }
    scanned_ = blockStart_ = segmented_;
    return;
  }
  while (scanned_ < text_.size()) {
    const std::size_t at = scanned_;
    if (!InAnyWord(key_[at])) {
      // No word holds these units, so none reaches across them either: each is a block and a
      // segment of its own, as the segmentation would make it. Most units of most texts (Latin
      // letters, digits, blanks, punctuation) take this way.
      std::size_t end = at + 1;
      while (end < text_.size() && !InAnyWord(key_[end])) ++end;
      std::fill_n(segmentEnd_.data() + at, end - at, kSegmentEnd);
      std::fill_n(segmentWord_.data() + at, end - at, -1);
      scanned_ = segmented_ = end;
      StartBlock(end);
      continue;
    }
    // A walk cut short by the end of the text so far is made again when more has come: offering
    // its words a second time changes nothing.
    const std::size_t i = at - blockStart_;
    std::size_t longest = 1;
    bool standsAlone = false;
    const bool complete = words_->ForEachPrefix(key_.data() + at, text_.size() - at,
                                                [&](std::size_t length, WordList::WordId word, std::int32_t cost) {
                                                  longest = length;
                                                  standsAlone = standsAlone || length == 1;
                                                  Offer(i, length, cost, word);
                                                });
    const bool userComplete =
        !userWords_ ||
        userWords_->ForEachPrefix(key_.data() + at, text_.size() - at, [&](std::size_t length, std::int32_t index) {
          longest = std::max(longest, length);
          standsAlone = standsAlone || length == 1;
          Offer(i, length, -kUserWordBonus * static_cast<std::int64_t>(length), UserWordId(index));
        });
    if (!(complete && userComplete) && !finished_) break;
    if (!standsAlone) Offer(i, 1, words_->UnknownCost(), -1);
    scanned_ = at + 1;
    reach_ = std::max(reach_, at + longest);
    if (reach_ <= scanned_ || scanned_ - blockStart_ >= kLongestBlock) {
      EndBlock(scanned_);
      StartBlock(scanned_);
    }
  }
}

bool ReadingPass::InAnyWord(char16_t unit) const {
  return words_->InAnyWord(unit) || (userWords_ && userWords_->InAnyWord(unit));
}

// The costs of the block's ends are left unreached (the ends of the block before have been
// made so again by EndBlock).
void ReadingPass::StartBlock(std::size_t at) { blockStart_ = reach_ = at; }

// A way through the block to its unit i + length: the least one so far to unit i, then the word
// (-1: a unit standing alone) of that length at that cost. Of two ways with the same cost, the
// one offered first wins: the one whose last word is longer. A block cut short ends every word
// at its end.
void ReadingPass::Offer(std::size_t i, std::size_t length, std::int64_t cost, WordList::WordId word) {
  if (i + length > kLongestBlock) return;
  const std::int64_t total = costs_[i] + cost;
  if (total < costs_[i + length]) {
    costs_[i + length] = total;
    from_[i + length] = static_cast<std::uint16_t>(i);
    wordOf_[i + length] = word;
  }
}

// Cuts [blockStart_, end) into the segments of its least cost way.
void ReadingPass::EndBlock(std::size_t end) {
  const std::size_t begin = blockStart_;
  for (std::size_t j = end - begin; j > 0; j = from_[j]) {
    segmentEnd_[begin + j - 1] = kSegmentEnd;
    segmentWord_[begin + from_[j]] = wordOf_[j];
  }
  // No word offered in the block reaches past its end.
  std::fill_n(costs_.begin() + 1, end - begin, kUnreached);
  segmented_ = end;
}

// Reads each segment once the text that may change its reading has come: the rules' and the
// model's neighbours, and the segment that follows. Nothing looks across a line feed, so a line
// that has ended is read at once; so is a unit that is not converted, whatever follows.
void ReadingPass::ReadSegments() {
  // A local cursor, which the calls below cannot change, stays in a register.
  std::size_t at = read_;
  // A segment that ends by here is ready whatever follows: the segment after it has begun, and
  // the units it looks ahead at have come.
  const std::size_t readyEnd = finished_ ? segmented_
                                         : std::min(segmented_ > 0 ? segmented_ - 1 : 0,
                                                    text_.size() > kReadAhead ? text_.size() - kReadAhead : 0);
  while (at < segmented_) {
    if (text_[at] < 0x80 && segmentEnd_[at]) {
      at = SkipAsciiAlone(at);
      continue;
    }
    // A character beyond the Basic Multilingual Plane is read once both its units have come.
    if (IsLeadSurrogate(text_[at]) && at + 1 == text_.size() && !finished_) break;
    if (segmentEnd_[at] && !HasReading(at)) {
      // A unit that is not converted has no reading, whatever its neighbours.
      readings_[at++] = 0;
      continue;
    }
    std::size_t end = at;
    while (!segmentEnd_[end]) ++end;
    ++end;
    if (end > readyEnd && !LineEndsWithin(end)) break;
    ReadSegment(at, end);
    at = end;
  }
  read_ = at;
}

// The first unit from `at` on that is not ASCII standing alone: ASCII, which no dictionary line
// converts, has no reading whatever its neighbours, and makes up most units of most texts. Its
// reading stays the 0 that Feed gave it.
std::size_t ReadingPass::SkipAsciiAlone(std::size_t at) const {
  const std::size_t asciiEnd = EndOfAsciiUnits(text_, at, segmented_);
  const std::uint8_t* const ends = segmentEnd_.data();
  const void* inWord = std::memchr(ends + at, 0, asciiEnd - at);  // ASCII in a user's word
  return inWord ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(inWord) - ends) : asciiEnd;
}

// Whether the unit at `at` has a reading: by character, a dictionary line; by word, also the
// own reading of a character beyond the dictionary, on the first unit of a surrogate pair.
bool ReadingPass::HasReading(std::size_t at) const {
  if (options_.readBy == ReadBy::Character) return tables_->Entry(text_[at]) != 0;
  return tables_->Entry(key_[at]) != 0 || OwnSyllableAt(at) != kNoOwnSyllable;
}

std::uint16_t ReadingPass::OwnSyllableAt(std::size_t at) const {
  const char16_t unit = text_[at];
  if (IsTrailSurrogate(unit)) return kNoOwnSyllable;
  if (IsLeadSurrogate(unit)) {
    if (at + 1 == text_.size() || !IsTrailSurrogate(text_[at + 1])) return kNoOwnSyllable;
    return OwnSyllable(0x10000 + ((char32_t{unit} - 0xD800) << 10) + (text_[at + 1] - 0xDC00));
  }
  return OwnSyllableOfUnit(unit);
}

bool ReadingPass::LineEndsWithin(std::size_t from) const {
  const std::size_t to = std::min(text_.size(), from + kReadAhead);
  return std::find(text_.begin() + static_cast<std::ptrdiff_t>(from), text_.begin() + static_cast<std::ptrdiff_t>(to),
                   u'\n') != text_.begin() + static_cast<std::ptrdiff_t>(to);
}

// A word of two or more characters with a reading reads so; every other character takes its
// default reading, which the polyphone model may overrule.
void ReadingPass::ReadSegment(std::size_t begin, std::size_t end) {
  if (segmentWord_[begin] < -1) return ReadUserWord(begin, end);
  const std::span<const std::uint16_t> syllables = WordReading(begin, end);
  for (std::size_t at = begin; at < end; ++at) {
    if (options_.readBy == ReadBy::Character) {
      readings_[at] = mibolan::ReadingAt(text_, at, *tables_);
      continue;
    }
    const std::uint16_t entry = tables_->Entry(key_[at]);
    if (entry == 0) {
      // A character beyond the dictionary has its own reading, or none; a word's reading never
      // makes a character converted that is not.
      const std::uint16_t own = OwnSyllableAt(at);
      readings_[at] = own == kNoOwnSyllable ? 0 : tables_->SyllableReading(own);
    } else if (!syllables.empty()) {
      const std::uint16_t syllable = syllables[at - begin];
      readings_[at] = tables_->SyllableReading(
          options_.toneSandhi ? syllable : WordSyllableWithoutToneChanges(text_[at], syllable));
    } else {
      const DefaultChoice fallback = DefaultReading(at, entry, end - begin == 1);
      readings_[at] = ModelReading(at, begin, end, fallback);
    }
  }
}

// A user's word reads exactly as the user wrote it.
void ReadingPass::ReadUserWord(std::size_t begin, std::size_t end) {
  const UserWordIndex::Word& word = userWords_->At(UserWordIndexOf(segmentWord_[begin]));
  for (std::size_t at = begin; at < end; ++at) {
    const std::uint16_t syllable = word.syllables[at - begin];
    readings_[at] = syllable == UserWordIndex::kNoSyllable ? 0 : tables_->SyllableReading(syllable);
    userWordUnit_[at] = 1;
  }
}

// The reading of a segment of two or more characters: the model's correction of the word, else
// the word list's; empty when its characters are read one by one.
std::span<const std::uint16_t> ReadingPass::WordReading(std::size_t begin, std::size_t end) const {
  const WordList::WordId word = segmentWord_[begin];
  if (word < 0 || end - begin < 2) return {};
  const std::span<const std::uint16_t> corrected =
      model_->CorrectedReading(std::u16string_view(key_).substr(begin, end - begin));
  return corrected.empty() ? words_->Reading(word, end - begin) : corrected;
}

// The reading of a character that no word decides: the rules' when one applies, else that of its
// own entry in the word list, else the dictionary's. Firm when a rule matched on the neighbours
// or the entry gave it: evidence that the model's prior alone must not outweigh. An entry's
// neutral reading is an enclitic's (过 guo5, 地 de5), which leans on the word before it: alone at
// the start of a phrase there is none, and the entry says nothing of the place.
ReadingPass::DefaultChoice ReadingPass::DefaultReading(std::size_t at, std::uint16_t entry, bool aloneInSegment) const {
  if (entry & ConversionTables::kHasContextRules) {
    const int rule = RuleIndexAt(key_, at);
    if (rule >= 0) return {tables_->RuleReading(rule), rule != DefaultRuleIndex(key_[at])};
  }
  // A character alone in its segment is its own entry, when it has one: no second look-up.
  const WordList::WordId word = segmentWord_[at];
  const std::span<const std::uint16_t> own =
      aloneInSegment ? (word >= 0 ? words_->Reading(word, 1) : std::span<const std::uint16_t>())
                     : words_->ReadingAlone(key_[at]);
  const bool leansOnNothing = !own.empty() && word_table::ToneOf(own[0]) == 5 && aloneInSegment && StartsPhrase(at);
  if (!own.empty() && !leansOnNothing) return {tables_->SyllableReading(own[0]), true};
  return {static_cast<ReadingIndex>(entry & ~ConversionTables::kHasContextRules), false};
}

namespace {

// A neighbour as the model's features see it: digits as "0", Latin letters as "a", any other
// character as itself.
std::u16string_view FeatureClass(std::u16string_view character) {
  const char16_t unit = character[0];
  if ((unit >= u'0' && unit <= u'9') || (unit >= u'０' && unit <= u'９')) return u"0";
  if ((unit >= u'A' && unit <= u'Z') || (unit >= u'a' && unit <= u'z') || (unit >= u'Ａ' && unit <= u'Ｚ') ||
      (unit >= u'ａ' && unit <= u'ｚ')) {
    return u"a";
  }
  return character;
}

// The length of the character (one unit, or a surrogate pair) that starts at `at` when `forward`,
// else that ends there.
std::size_t CharacterLength(std::u16string_view text, std::size_t at, bool forward) {
  if (forward) return at + 1 < text.size() && IsLeadSurrogate(text[at]) && IsTrailSurrogate(text[at + 1]) ? 2 : 1;
  return at >= 2 && IsTrailSurrogate(text[at - 1]) && IsLeadSurrogate(text[at - 2]) ? 2 : 1;
}

}  // namespace

// Whether a phrase starts at `at`: a run of characters with readings does (the text starts, or
// the character before has no reading), and not right after a closing quotation mark or bracket,
// whose words are the word that a particle leans on (“砰”地一声, 表现(act)得). Straight quotes may
// open or close, and count as closing.
bool ReadingPass::StartsPhrase(std::size_t at) const {
  if (at == 0) return true;
  constexpr std::u16string_view kClosingMarks = u")]}）］｝〉》」』】〕〗〙〛”’»›\"'＂＇";
  return !HasReading(at - CharacterLength(key_, at, false)) && kClosingMarks.find(key_[at - 1]) == kClosingMarks.npos;
}

// The characters two before, one before, one after and two after the one at `at`, as features:
// "#" where the text ends first or a line break comes first.
std::array<std::u16string_view, 4> ReadingPass::Neighbours(std::size_t at) const {
  const std::u16string_view text = key_;
  const auto isLineBreak = [&](std::size_t unit) { return text[unit] == u'\n' || text[unit] == u'\r'; };
  std::array<std::u16string_view, 4> found{u"#", u"#", u"#", u"#"};
  std::size_t start = at;
  for (std::size_t step = 0; step < 2 && start > 0; ++step) {
    const std::size_t length = CharacterLength(text, start, false);
    start -= length;
    if (isLineBreak(start)) break;
    found[1 - step] = FeatureClass(text.substr(start, length));
  }
  start = at;
  std::size_t length = CharacterLength(text, at, true);
  for (std::size_t step = 0; step < 2; ++step) {
    start += length;
    if (start >= text.size() && finished_) break;
    length = CharacterLength(text, start, true);
    if (isLineBreak(start)) break;
    found[2 + step] = FeatureClass(text.substr(start, length));
  }
  return found;
}

// The model's reading where it leads the default reading by the model's margin; the default
// reading elsewhere. Against a firm default only the neighbours speak, not the model's prior.
ReadingIndex ReadingPass::ModelReading(std::size_t at, std::size_t begin, std::size_t end, DefaultChoice choice) const {
  const ReadingIndex fallback = choice.reading;
  const PolyphoneModel::Block block = model_->BlockOf(key_[at]);
  const std::span<const std::uint16_t> readings = block.readings;
  if (readings.empty()) return fallback;
  std::array<std::int32_t, 8> scoreRoom{};
  const std::span<std::int32_t> scores(scoreRoom.data(), std::min(readings.size(), scoreRoom.size()));
  // The keys of the character's features go on from the hash of their common start.
  const polyphone_model::FeatureHash start(block.character);
  const auto add = [&](std::u16string_view name, std::u16string_view value, std::u16string_view more = {}) {
    model_->AddWeights(block, polyphone_model::FeatureHash(start).Add(name).Add(value).Add(more).Key(), scores);
  };
  if (!choice.firm) add(u"b", {});
  const auto [left2, left1, right1, right2] = Neighbours(at);
  const std::u16string_view neighbours[][2] = {{left2, {}}, {left1, {}}, {right1, {}}, {right2, {}}, {left1, right1}};
  for (std::size_t name = 0; name < std::size(neighbours); ++name) {
    const auto [value, more] = neighbours[name];
    if (PolyphoneModel::MayHave(block, name, value[0])) add(polyphone_model::kNeighbourNames[name], value, more);
  }
  if (end - begin > 1) add(u"W=", std::u16string_view(key_).substr(begin, end - begin));

  // The first reading of the highest score; a default outside the block scores as the lowest.
  std::size_t best = 0;
  for (std::size_t i = 1; i < scores.size(); ++i) best = scores[i] > scores[best] ? i : best;
  const std::uint16_t fallbackSyllable = tables_->SyllableIdOf(fallback);
  if (readings[best] == fallbackSyllable) return fallback;
  std::int32_t base = *std::min_element(scores.begin(), scores.end());
  for (std::size_t i = 0; i < scores.size(); ++i) {
    if (readings[i] == fallbackSyllable) base = scores[i];
  }
  return scores[best] - base >= model_->Margin() ? tables_->SyllableReading(readings[best]) : fallback;
}

void ReadingPass::ChangeTones(std::size_t end) {
  if (options_.toneSandhi) {
    for (std::size_t at = decided_; at < end; ++at) {
      if (readings_[at] != 0 && !(userWords_ && userWordUnit_[at]) && ChangesTone(text_[at])) {
        readings_[at] = ToneAfterSandhi(text_, at, readings_, PlaceInWord(at), *tables_);
      }
    }
  }
  decided_ = end;
}

WordPlace ReadingPass::PlaceInWord(std::size_t at) const {
  const auto endsLongWord = [this](std::size_t unit) {
    return segmentEnd_[unit] && unit > 0 && !segmentEnd_[unit - 1];
  };
  return {.endsWord = endsLongWord(at),
          .goesOnPastNext = !segmentEnd_[at] && at + 1 < text_.size() && !segmentEnd_[at + 1],
          .afterWord = at > 0 && endsLongWord(at - 1)};
}

void ReadingPass::HandOut(std::size_t end) {
  handedOut_ = end;
  const std::size_t needed = std::min({blockStart_, read_ > kReadBehind ? read_ - kReadBehind : 0,
                                       handedOut_ > kContextBehind ? handedOut_ - kContextBehind : 0});
  if (needed >= kDropChunk) DropBefore(needed);
}

// Drops the units before `index`, and everything kept for them.
void ReadingPass::DropBefore(std::size_t index) {
  const auto drop = static_cast<std::ptrdiff_t>(index);
  text_.erase(0, index);
  if (!key_.empty()) key_.erase(0, index);
  readings_.erase(readings_.begin(), readings_.begin() + drop);
  segmentEnd_.erase(segmentEnd_.begin(), segmentEnd_.begin() + drop);
  segmentWord_.erase(segmentWord_.begin(), segmentWord_.begin() + drop);
  if (userWords_) userWordUnit_.erase(userWordUnit_.begin(), userWordUnit_.begin() + drop);
  for (std::size_t* progress : {&scanned_, &blockStart_, &reach_, &segmented_, &read_, &decided_, &handedOut_}) {
    *progress -= index;
  }
}

}  // namespace mibolan
