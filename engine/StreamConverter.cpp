#include <mibolan/StreamConverter.h>

#include <optional>

#include "ConversionPass.h"
#include "HtmlText.h"
#include "ReadingPass.h"

namespace mibolan {

// Keeps, of the text seen so far, what the readings may still look back at and what they must
// look ahead at before a character can be converted. Readings by character are chosen on the
// way; the other ways of reading take the decisions of a ReadingPass.
class StreamConverter::Impl {
 public:
  Impl(const ConversionOptions& options, bool afterLineFeed) : tables_(ConversionTables::Get()), options_(options) {
    if (!ReadsByCharacterAlone(options)) pass_.emplace(options);
    if (afterLineFeed) TakeLineFeedBefore();
  }

  void Feed(std::u16string_view piece, std::string& out) {
    if (pass_) {
      pass_->Feed(piece);
      WriteDecided(false, out);
      return;
    }
    pending_ += piece;
    std::size_t end = pending_.size() > kContextAhead ? pending_.size() - kContextAhead : 0;
    // A surrogate pair is never cut in two: a page copies the text through as UTF-8.
    if (end > 0 && IsLeadSurrogate(pending_[end - 1])) --end;
    if (options_.lineBreaks == LineBreaks::Keep) {
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
    if (pass_) {
      pass_->Finish();
      WriteDecided(true, out);
      CloseRuby(out);
      pass_->Reset();
      return;
    }
    ConvertUpTo(pending_.size(), out);
    pending_.clear();
    next_ = 0;
  }

 private:
  void ConvertUpTo(std::size_t end, std::string& out) {
    if (end <= next_) return;
    const std::u16string_view text = pending_;
    if (options_.style == Style::Html) {
      ConvertHtml(text, end, out);
    } else {
      ConvertPlain(text, end, out);
    }
    next_ = end;
  }

  void ConvertPlain(std::u16string_view text, std::size_t end, std::string& out) const {
    std::size_t begin = next_;
    if (options_.lineBreaks == LineBreaks::Keep) {
      for (std::size_t lineFeed = text.find(u'\n', begin); lineFeed < end; lineFeed = text.find(u'\n', begin)) {
        AppendConverted(text, begin, lineFeed, tables_, options_.style, out);
        out += lineFeed > 0 && text[lineFeed - 1] == u'\r' ? "\r\n" : "\n";
        begin = lineFeed + 1;
      }
    }
    AppendConverted(text, begin, end, tables_, options_.style, out);
  }

  // The page keeps every character, line breaks included.
  void ConvertHtml(std::u16string_view text, std::size_t end, std::string& out) const {
    const auto emit = [&](char16_t character, ReadingIndex reading) {
      out += "<ruby>";
      AppendUtf8(out, character);
      tables_.AppendRubyText(out, reading);
      out += "</ruby>";
    };
    ConvertRange(text, next_, end, tables_, emit, [&](std::u16string_view run) { AppendHtmlText(out, run); });
  }

  // Writes what the reading pass has decided, short of a lead surrogate whose pair is still to
  // come, and hands it out.
  void WriteDecided(bool finished, std::string& out) {
    const std::u16string_view text = pass_->Text();
    const std::size_t begin = pass_->DecidedBegin();
    std::size_t end = pass_->DecidedEnd();
    if (!finished && end > begin && IsLeadSurrogate(text[end - 1])) --end;
    if (options_.style == Style::Html) {
      WriteDecidedHtml(text, begin, end, out);
    } else {
      WriteDecidedPlain(text, begin, end, out);
    }
    pass_->HandOut(end);
  }

  void WriteDecidedPlain(std::u16string_view text, std::size_t begin, std::size_t end, std::string& out) const {
    const Fragment<char>* const fragments = tables_.Fragments<char>(options_.style);
    const bool writesCharacter = options_.style == Style::Annotated;
    const bool keepLines = options_.lineBreaks == LineBreaks::Keep;
    OutputBlock<char> block;
    std::size_t used = 0;
    for (std::size_t at = begin; at < end; ++at) {
      const ReadingIndex reading = pass_->ReadingOf(at);
      if (reading != 0 && IsLeadSurrogate(text[at]) && at + 1 < end) {
        // A character beyond the Basic Multilingual Plane, which only reading by word reads.
        if (writesCharacter) {
          std::string character;
          AppendUtf8(character, text.substr(at, 2));
          used = static_cast<std::size_t>(std::copy(character.begin(), character.end(), block.data() + used) -
                                          block.data());
        }
        used = WriteConverted(block, used, u'\0', fragments[reading], false);
      } else if (reading != 0) {
        used = WriteConverted(block, used, text[at], fragments[reading], writesCharacter);
      } else if (keepLines && text[at] == u'\n') {
        out.append(block.data(), used);
        used = 0;
        out += at > 0 && text[at - 1] == u'\r' ? "\r\n" : "\n";
      }
      if (used >= kOutputBlockSize) {
        out.append(block.data(), used);
        used = 0;
      }
    }
    out.append(block.data(), used);
  }

  // A word's characters share one ruby element, so that a line never breaks inside the word.
  void WriteDecidedHtml(std::u16string_view text, std::size_t begin, std::size_t end, std::string& out) {
    std::size_t runStart = begin;
    for (std::size_t at = begin; at < end; ++at) {
      const ReadingIndex reading = pass_->ReadingOf(at);
      if (reading == 0) continue;
      if (runStart < at) {
        CloseRuby(out);
        AppendHtmlText(out, text.substr(runStart, at - runStart));
      }
      if (!inRuby_) out += "<ruby>";
      inRuby_ = true;
      const std::size_t length = IsLeadSurrogate(text[at]) && at + 1 < end ? 2 : 1;  // a surrogate pair whole
      AppendUtf8(out, text.substr(at, length));
      tables_.AppendRubyText(out, reading);
      at += length - 1;
      if (pass_->EndsSegment(at)) CloseRuby(out);
      runStart = at + 1;
    }
    if (runStart < end) {
      CloseRuby(out);
      AppendHtmlText(out, text.substr(runStart, end - runStart));
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
    pass_->Feed(u"\n");
    WriteDecided(false, unwritten);  // a unit that is not converted is decided at once
  }

  void CloseRuby(std::string& out) {
    if (inRuby_) out += "</ruby>";
    inRuby_ = false;
  }

  const ConversionTables& tables_;
  ConversionOptions options_;
  std::u16string pending_;  // up to kContextBehind converted units, then the unconverted ones
  std::size_t next_ = 0;    // index in pending_ of the first unconverted unit
  std::optional<ReadingPass> pass_;
  bool inRuby_ = false;  // a word's ruby element is open
};

StreamConverter::StreamConverter(const ConversionOptions& options) : StreamConverter(options, false) {}
StreamConverter::StreamConverter(const ConversionOptions& options, bool afterLineFeed)
    : impl_(std::make_unique<Impl>(options, afterLineFeed)) {}
StreamConverter::~StreamConverter() = default;
StreamConverter::StreamConverter(StreamConverter&&) noexcept = default;
StreamConverter& StreamConverter::operator=(StreamConverter&&) noexcept = default;

void StreamConverter::Feed(std::u16string_view piece, std::string& out) { impl_->Feed(piece, out); }
void StreamConverter::Finish(std::string& out) { impl_->Finish(out); }

}  // namespace mibolan
