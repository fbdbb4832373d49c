#include <mibolan/StreamConverter.h>

#include "ConversionPass.h"
#include "HtmlText.h"

namespace mibolan {

// Keeps, of the text seen so far, what the rules may still look back at and what they must
// look ahead at before a character can be converted.
class StreamConverter::Impl {
 public:
  explicit Impl(const ConversionOptions& options)
      : tables_(ConversionTables::Get()), style_(options.style), lineBreaks_(options.lineBreaks) {}

  void Feed(std::u16string_view piece, std::string& out) {
    pending_ += piece;
    if (pending_.size() > kContextAhead) {
      std::size_t end = pending_.size() - kContextAhead;
      // A surrogate pair is never cut in two: a page copies the text through as UTF-8.
      if (IsLeadSurrogate(pending_[end - 1])) --end;
      ConvertUpTo(end, out);
    }
    const std::size_t drop = next_ > kContextBehind ? next_ - kContextBehind : 0;
    pending_.erase(0, drop);
    next_ -= drop;
  }

  void Finish(std::string& out) {
    ConvertUpTo(pending_.size(), out);
    pending_.clear();
    next_ = 0;
  }

 private:
  void ConvertUpTo(std::size_t end, std::string& out) {
    if (end <= next_) return;
    const std::u16string_view text = pending_;
    if (style_ == Style::Html) {
      ConvertHtml(text, end, out);
    } else {
      ConvertPlain(text, end, out);
    }
    next_ = end;
  }

  void ConvertPlain(std::u16string_view text, std::size_t end, std::string& out) const {
    std::size_t begin = next_;
    if (lineBreaks_ == LineBreaks::Keep) {
      for (std::size_t lineFeed = text.find(u'\n', begin); lineFeed < end; lineFeed = text.find(u'\n', begin)) {
        AppendConverted(text, begin, lineFeed, tables_, style_, out);
        out += lineFeed > 0 && text[lineFeed - 1] == u'\r' ? "\r\n" : "\n";
        begin = lineFeed + 1;
      }
    }
    AppendConverted(text, begin, end, tables_, style_, out);
  }

  // The page keeps every character, line breaks included.
  void ConvertHtml(std::u16string_view text, std::size_t end, std::string& out) const {
    const auto emit = [&](char16_t character, ReadingIndex reading) {
      out += "<ruby>";
      AppendUtf8(out, character);
      out += tables_.RubyText(reading);
    };
    ConvertRange(text, next_, end, tables_, emit, [&](std::u16string_view run) { AppendHtmlText(out, run); });
  }

  const ConversionTables& tables_;
  Style style_;
  LineBreaks lineBreaks_;
  std::u16string pending_;  // up to kContextBehind converted units, then the unconverted ones
  std::size_t next_ = 0;    // index in pending_ of the first unconverted unit
};

StreamConverter::StreamConverter(const ConversionOptions& options) : impl_(std::make_unique<Impl>(options)) {}
StreamConverter::~StreamConverter() = default;
StreamConverter::StreamConverter(StreamConverter&&) noexcept = default;
StreamConverter& StreamConverter::operator=(StreamConverter&&) noexcept = default;

void StreamConverter::Feed(std::u16string_view piece, std::string& out) { impl_->Feed(piece, out); }
void StreamConverter::Finish(std::string& out) { impl_->Finish(out); }

}  // namespace mibolan
