#include <mibolan/StreamConverter.h>

#include <optional>
#include <span>
#include <type_traits>

#include <mibolan/ExclusiveUse.h>

#include "ConversionPass.h"
#include "HtmlText.h"
#include "ReadingPass.h"
#include "StreamedReadings.h"
#include "TransparentRuns.h"
#include "Walk.h"
#include "Writers.h"

namespace mibolan {

namespace {
// The reading pass takes a piece in parts of this many units, so that what each of its stages
// leaves for the next stays in the nearest cache (measured best among 2, 4 and 8 Ki units).
constexpr std::size_t kPassPartUnits = std::size_t{1} << 12;

// Keeps, of the text seen so far, what the readings may still look back at and what they must
// look ahead at before a character can be converted. Readings by character are chosen on the
// way; the other ways of reading take the decisions of a ReadingPass, which sees the text without
// its transparent characters: the runs of them are set aside and written back in their places.
class StreamConversion {
 public:
  StreamConversion(const ConversionOptions& options, bool afterLineFeed)
      : tables_(ConversionTables::Get()),
        options_(options),
        walk_(ChooseWalk(options)),
        runs_(walk_.KeepsInvisibles()),
        ruby_(tables_) {
    if (walk_.NeedsReadingPass()) pass_.emplace(options);
    if (afterLineFeed) TakeLineFeedBefore();
  }

  void Feed(std::u16string_view piece, std::string& out) {
    if (pass_) return FeedPass(piece, out);
    pending_ += piece;
    std::size_t end = pending_.size() > kContextAhead ? pending_.size() - kContextAhead : 0;
    // A surrogate pair is never cut in two: a page copies the text through as UTF-8.
    if (end > 0 && IsLeadSurrogate(pending_[end - 1])) --end;
    if (walk_.keepsLines) {
      // No rule's window matches across a line feed, so every line that has ended can be written
      // now, however short: a reader at the other end of a pipe sees it at once.
      const std::size_t lineFeed = pending_.rfind(u'\n');
      if (lineFeed != std::u16string::npos && lineFeed >= end) end = lineFeed + 1;
    }
    ConvertUpTo(end, out);
    const std::size_t drop = next_ > kContextBehind ? next_ - kContextBehind : 0;
    pending_.erase(0, drop);
    next_ -= drop;
  }

  void Finish(std::string& out) {
    if (pass_) return FinishPass(out);
    ConvertUpTo(pending_.size(), out);
    pending_.clear();
    next_ = 0;
  }

  // What a reading pass decides, written as UTF-8, or as UTF-16 when the walk writes the
  // readings alone (ConvertText's output, without a detour through UTF-8).
  template <class Char>
  void FeedPass(std::u16string_view piece, std::basic_string<Char>& out) {
    for (std::size_t at = 0; at < piece.size(); at += kPassPartUnits) {
      pass_->Feed(runs_.Split(piece.substr(at, kPassPartUnits), read_));
      WriteDecided(false, out);
    }
  }

  template <class Char>
  void FinishPass(std::basic_string<Char>& out) {
    read_.clear();
    runs_.Finish(read_);
    pass_->Feed(read_);
    pass_->Finish();
    WriteDecided(true, out);
    if constexpr (std::is_same_v<Char, char>) ruby_.Close(out);
    pass_->Reset();
    runs_ = TransparentRuns(walk_.KeepsInvisibles());
    handedOut_ = 0;
  }

 private:
  void ConvertUpTo(std::size_t end, std::string& out) {
    if (end <= next_) return;
    const std::u16string_view text = pending_;
    if (walk_.writer == Walk::Writer::Ruby) {
      ConvertHtml(text, end, out);
    } else {
      ConvertPlain(text, end, out);
    }
    next_ = end;
  }

  void ConvertPlain(std::u16string_view text, std::size_t end, std::string& out) const {
    std::size_t begin = next_;
    if (walk_.keepsLines) {
      for (std::size_t lineFeed = text.find(u'\n', begin); lineFeed < end; lineFeed = text.find(u'\n', begin)) {
        AppendConverted(text, begin, lineFeed, tables_, walk_, out);
        out += LineBreakAt(text, lineFeed);
        begin = lineFeed + 1;
      }
    }
    AppendConverted(text, begin, end, tables_, walk_, out);
  }

  // The page keeps every character, line breaks included; each converted one is a segment.
  void ConvertHtml(std::u16string_view text, std::size_t end, std::string& out) {
    const auto emit = [&](char16_t character, ReadingIndex reading) {
      ruby_.Write(out, std::u16string_view(&character, 1), {}, reading);
      ruby_.Close(out);
    };
    ConvertRange(text, next_, end, tables_, emit, [&](std::u16string_view run) { ruby_.WriteText(out, run); });
  }

  // Writes what the reading pass has decided, short of a lead surrogate whose pair is still to
  // come, and hands it out.
  template <class Char>
  void WriteDecided(bool finished, std::basic_string<Char>& out) {
    const std::u16string_view text = pass_->Text();
    const std::size_t begin = pass_->DecidedBegin();
    std::size_t end = pass_->DecidedEnd();
    if (!finished && end > begin && IsLeadSurrogate(text[end - 1])) --end;
    if (walk_.WritesReadingsAlone()) {
      WriteDecidedReadings(pass_->Readings(begin, end), out);
    } else if constexpr (std::is_same_v<Char, char>) {
      if (walk_.writer == Walk::Writer::Ruby) {
        WriteDecidedHtml(text, begin, end, out);
      } else {
        WriteDecidedPlain(text, begin, end, out);
        // The annotated style writes only the runs after converted characters, taken on the way.
        runs_.DropThrough(handedOut_ + (end - begin));
      }
    }
    pass_->HandOut(end);
    handedOut_ += end - begin;
  }

  // The place among the units passed on to the reading pass of the unit at `index` of its text.
  std::uint64_t PlaceOf(std::size_t index) const { return handedOut_ + (index - pass_->DecidedBegin()); }

  // Whether a transparent run follows the unit at `index`; the runs before it, which the
  // annotated style leaves out with the units they follow, are given up.
  bool RunFollows(std::size_t index) {
    runs_.DropThrough(PlaceOf(index));
    return runs_.NextPlace() == PlaceOf(index) + 1;
  }

  void WriteDecidedPlain(std::u16string_view text, std::size_t begin, std::size_t end, std::string& out) {
    if (walk_.writesCharacter) {
      WriteDecidedPlain<true>(text, begin, end, out);
    } else {
      WriteDecidedPlain<false>(text, begin, end, out);
    }
  }

  // The readings alone: every unit's fragment, the empty one for a unit without a reading (the
  // second unit of a surrogate pair has none), so that text that mixes Chinese with other
  // characters costs no branch per unit. Units without readings are passed over four at a time.
  template <class Char>
  void WriteDecidedReadings(std::span<const ReadingIndex> readings, std::basic_string<Char>& out) const {
    typename FragmentWriter<Char>::Block block;
    FragmentWriter<Char> writer(block, tables_, walk_.fragments, out);
    std::size_t at = 0;
    for (; at + 4 <= readings.size(); at += 4) {
      if (NoneOfFourRead(readings.data() + at)) continue;
      for (std::size_t i = at; i < at + 4; ++i) writer.template Write<false>(0, readings[i]);
    }
    for (; at < readings.size(); ++at) writer.template Write<false>(0, readings[at]);
    writer.Flush();
  }

  template <bool kWritesCharacter>
  void WriteDecidedPlain(std::u16string_view text, std::size_t begin, std::size_t end, std::string& out) {
    FragmentWriter<char>::Block block;
    FragmentWriter<char> writer(block, tables_, walk_.fragments, out);
    const bool keepsLines = walk_.keepsLines;
    for (std::size_t at = begin; at < end; ++at) {
      const std::size_t next = pass_->NextWithReading(at, end);
      if (keepsLines) WriteLineBreaks(text, at, next, writer);
      if (next == end) break;
      at = next;
      const ReadingIndex reading = pass_->ReadingOf(at);
      // A character beyond the Basic Multilingual Plane, which only reading by word reads, is a
      // surrogate pair; the transparent characters after a character stay with it (a variation
      // selector chooses its glyph), before its reading.
      const std::size_t last = IsLeadSurrogate(text[at]) && at + 1 < end ? at + 1 : at;
      if (last == at && !(kWritesCharacter && RunFollows(at))) {
        writer.Write<kWritesCharacter>(text[at], reading);
      } else {
        if (kWritesCharacter) {
          AppendUtf8(writer.Out(), text.substr(at, last + 1 - at));
          if (RunFollows(last)) AppendUtf8(writer.Out(), runs_.Take());
        }
        writer.WriteReading(reading);
      }
      at = last;
    }
    writer.Flush();
  }

  // Writes the line break of each line feed in [from, to) of `text`, units without readings.
  static void WriteLineBreaks(std::u16string_view text, std::size_t from, std::size_t to,
                              FragmentWriter<char>& writer) {
    const std::u16string_view before = text.substr(0, to);
    for (std::size_t lineFeed = before.find(u'\n', from); lineFeed != before.npos;
         lineFeed = before.find(u'\n', lineFeed + 1)) {
      writer.Out() += LineBreakAt(text, lineFeed);
    }
  }

  // A word's characters share one ruby element, so that a line never breaks inside the word. The
  // transparent characters after a converted one stay with it in the ruby's base.
  void WriteDecidedHtml(std::u16string_view text, std::size_t begin, std::size_t end, std::string& out) {
    std::size_t runStart = begin;
    for (std::size_t at = begin; at < end; ++at) {
      const ReadingIndex reading = pass_->ReadingOf(at);
      if (reading == 0) continue;
      if (runStart < at || runs_.NextPlace() == PlaceOf(at)) {
        ruby_.Close(out);
        AppendHtmlWithRuns(text, runStart, at, out);
      }
      const std::size_t length = IsLeadSurrogate(text[at]) && at + 1 < end ? 2 : 1;  // a surrogate pair whole
      ruby_.Write(out, text.substr(at, length), runs_.TakeAt(PlaceOf(at + length - 1) + 1), reading);
      at += length - 1;
      if (pass_->EndsSegment(at)) ruby_.Close(out);
      runStart = at + 1;
    }
    if (runStart < end || runs_.NextPlace() == PlaceOf(end)) {
      ruby_.Close(out);
      AppendHtmlWithRuns(text, runStart, end, out);
    }
  }

  // Appends units [from, to) of `text`, which are not converted, with the transparent runs placed
  // before each of them and before the unit at `to`.
  void AppendHtmlWithRuns(std::u16string_view text, std::size_t from, std::size_t to, std::string& out) {
    for (;;) {
      const std::uint64_t next = runs_.NextPlace();
      const std::size_t until = next <= PlaceOf(to) ? from + static_cast<std::size_t>(next - PlaceOf(from)) : to;
      AppendHtmlText(out, text.substr(from, until - from));
      if (until == to && next != PlaceOf(to)) return;
      AppendHtmlText(out, runs_.Take());
      from = until;
    }
  }

  // The line feed before the text becomes context, already converted, so that the readings see
  // what they see in the whole text: that characters come before.
  void TakeLineFeedBefore() {
    if (!pass_) {
      pending_.push_back(u'\n');
      next_ = 1;
      return;
    }
    std::string unwritten;
    pass_->Feed(runs_.Split(u"\n", read_));
    WriteDecided(false, unwritten);  // a unit that is not converted is decided at once
  }

  const ConversionTables& tables_;
  ConversionOptions options_;
  Walk walk_;
  std::u16string pending_;  // up to kContextBehind converted units, then the unconverted ones
  std::size_t next_ = 0;    // index in pending_ of the first unconverted unit
  std::optional<ReadingPass> pass_;
  TransparentRuns runs_;
  std::u16string read_;          // the piece as the reading pass sees it, when not the piece itself
  std::uint64_t handedOut_ = 0;  // units of the text that the reading pass has handed out
  RubyWriter ruby_;
};

}  // namespace

class StreamConverter::Impl : public StreamConversion {
 public:
  using StreamConversion::StreamConversion;

  ExclusiveUse use;  // held by each call
};

StreamConverter::StreamConverter(const ConversionOptions& options) : StreamConverter(options, false) {}
StreamConverter::StreamConverter(const ConversionOptions& options, bool afterLineFeed)
    : impl_(std::make_unique<Impl>(options, afterLineFeed)) {}
StreamConverter::~StreamConverter() = default;
StreamConverter::StreamConverter(StreamConverter&&) noexcept = default;
StreamConverter& StreamConverter::operator=(StreamConverter&&) noexcept = default;

void StreamConverter::Feed(std::u16string_view piece, std::string& out) {
  const ExclusiveUse::Call call(impl_->use, "StreamConverter");
  impl_->Feed(piece, out);
}

void StreamConverter::Finish(std::string& out) {
  const ExclusiveUse::Call call(impl_->use, "StreamConverter");
  impl_->Finish(out);
}

void AppendStreamedReadings(std::u16string_view part, const ConversionOptions& options, bool afterLineFeed,
                            std::u16string& out) {
  StreamConversion converter(options, afterLineFeed);
  converter.FeedPass(part, out);
  converter.FinishPass(out);
}

}  // namespace mibolan
