#include "StreamConverter.h"

#include "ConversionPass.h"
#include "HtmlText.h"

namespace mibolan {

StreamConverter::StreamConverter(const CharDictionary& dictionary, Style style, LineBreaks lineBreaks)
    : tables_(ConversionTables::For(dictionary)), style_(style), lineBreaks_(lineBreaks) {}

void StreamConverter::Feed(std::u16string_view piece, std::string& out) {
  pending_ += piece;
  if (pending_.size() > kContextAhead) {
    std::size_t end = pending_.size() - kContextAhead;
    // A surrogate pair is never cut in two: a page copies the text through as UTF-8.
    if (IsLeadSurrogate(pending_[end - 1])) --end;
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
  const std::u16string_view text = pending_;
  if (style_ == Style::Html) {
    ConvertHtml(text, end, out);
  } else {
    ConvertPlain(text, end, out);
  }
  next_ = end;
}

void StreamConverter::ConvertPlain(std::u16string_view text, std::size_t end, std::string& out) const {
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
void StreamConverter::ConvertHtml(std::u16string_view text, std::size_t end, std::string& out) const {
  const auto emit = [&](char16_t character, ReadingIndex reading) {
    out += "<ruby>";
    AppendUtf8(out, character);
    out += tables_.RubyText(reading);
  };
  ConvertRange(text, next_, end, tables_, emit, [&](std::u16string_view run) { AppendHtmlText(out, run); });
}

}  // namespace mibolan
