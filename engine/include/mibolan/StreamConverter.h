#pragma once

#include <memory>
#include <string>
#include <string_view>

#include <mibolan/Export.h>
#include <mibolan/Options.h>

namespace mibolan {

// Converts a UTF-16 text that arrives in pieces, writing UTF-8 as soon as the readings'
// look-ahead allows. The output is exactly that of ConvertText on the whole text, whatever the
// pieces; memory stays bounded by the size of the pieces.
//
// UTF-16 has no error to report here: a lone surrogate is written as U+FFFD where the style writes
// text (Style::Html) and left out elsewhere, as every character without a reading is.
// The constructors throw std::invalid_argument (below); every call may throw std::bad_alloc, and
// nothing else throws.
//
// One object converts one text at a time, on one thread at a time: it may move between threads
// but must not be used from two at once (a build without NDEBUG aborts with a message when it
// is). Separate objects may convert on separate threads freely; none starts a thread.
class MIBOLAN_API StreamConverter {
 public:
  // Throws std::invalid_argument when an option has a value that its enumeration does not name.
  explicit StreamConverter(const ConversionOptions& options);

  // With `afterLineFeed`, converts the part of a larger text that follows one of its line feeds.
  // As with Utf8Converter, the parts of a text cut just after line feeds convert apart to what
  // the whole text converts to.
  StreamConverter(const ConversionOptions& options, bool afterLineFeed);
  ~StreamConverter();
  StreamConverter(StreamConverter&&) noexcept;
  StreamConverter& operator=(StreamConverter&&) noexcept;

  // Takes the next piece of the text and appends what can be converted so far to `out`.
  void Feed(std::u16string_view piece, std::string& out);

  // Ends the text: converts what is left and makes the converter ready for a new text.
  void Finish(std::string& out);

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace mibolan
