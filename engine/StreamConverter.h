#pragma once

#include <string>
#include <string_view>

#include "ConversionTables.h"
#include "ConvertText.h"

namespace mibolan {

// What happens to the input's line breaks.
enum class LineBreaks {
  Drop,  // as in ConvertText: the output is one line
  Keep,  // each "\n" or "\r\n" of the input ends an output line the same way
};

// Converts a text that arrives in pieces, writing UTF-8 as soon as the rules' lookahead allows.
// The output is exactly ConvertText of the whole text (with LineBreaks::Keep, plus the input's
// line ends, which never change a reading since no rule's window matches across one); memory
// stays bounded by the size of the pieces. Style::Html keeps every line break whatever
// `lineBreaks` says.
class StreamConverter {
 public:
  StreamConverter(const CharDictionary& dictionary, Style style, LineBreaks lineBreaks = LineBreaks::Drop);

  // Takes the next piece of the text and appends what can be converted so far to `out`.
  void Feed(std::u16string_view piece, std::string& out);

  // Ends the text: converts what is left and makes the converter ready for a new text.
  void Finish(std::string& out);

 private:
  void ConvertUpTo(std::size_t end, std::string& out);
  void ConvertPlain(std::u16string_view text, std::size_t end, std::string& out) const;
  void ConvertHtml(std::u16string_view text, std::size_t end, std::string& out) const;

  const ConversionTables& tables_;
  Style style_;
  LineBreaks lineBreaks_;
  std::u16string pending_;  // up to kContextBehind converted units, then the unconverted ones
  std::size_t next_ = 0;    // index in pending_ of the first unconverted unit
};

}  // namespace mibolan
