#include "StreamConverter.h"

#include "ConversionPass.h"
#include "HtmlText.h"

namespace mibolan {

StreamConverter::StreamConverter(const CharDictionary& dictionary, Style style, LineBreaks lineBreaks)
    : dictionary_(dictionary), style_(style), lineBreaks_(lineBreaks) {}

void StreamConverter::Feed(std::u16string_view piece, std::string& out) {
  pending_ += piece;
  if (pending_.size() > kContextAhead) {
    std::size_t end = pending_.size() - kContextAhead;
    // Html copies the text through, and a surrogate pair cut in two could not be written.
    if (style_ == Style::Html && IsLeadSurrogate(pending_[end - 1])) --end;
    ConvertUpTo(end, out);
  }
  // Keep only the context that the rules may still look back at.
  const std::size_t drop = next_ > kContextBehind ? next_ - kContextBehind : 0;
  pending_.erase(0, drop);
  next_ -= drop;
}

void StreamConverter::Finish(std::string& out) {
  ConvertUpTo(pending_.size(), out);
  pending_.clear();
  next_ = 0;
}

void StreamConverter::ConvertUpTo(std::size_t end, std::string& out) {
  if (end <= next_) return;
  const auto emit = [&](char16_t character, const ReadingForms& forms) {
    AppendConverted(out, style_, character, forms);
  };
  const std::u16string_view text = pending_;
  std::size_t begin = next_;
  if (style_ == Style::Html) {
    // The page keeps every character, line breaks included.
    ConvertRange(text, begin, end, dictionary_, emit, [&](std::u16string_view run) { AppendHtmlText(out, run); });
    next_ = end;
    return;
  }
  if (lineBreaks_ == LineBreaks::Keep) {
    for (std::size_t lineFeed = text.find(u'\n', begin); lineFeed < end; lineFeed = text.find(u'\n', begin)) {
      ConvertRange(text, begin, lineFeed, dictionary_, emit);
      out += lineFeed > 0 && text[lineFeed - 1] == u'\r' ? "\r\n" : "\n";
      begin = lineFeed + 1;
    }
  }
  ConvertRange(text, begin, end, dictionary_, emit);
  next_ = end;
}

}  // namespace mibolan
