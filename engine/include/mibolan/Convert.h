#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <mibolan/Export.h>
#include <mibolan/Options.h>

namespace mibolan {

// Text that is not well-formed UTF-8: where the bad sequence begins, as a byte offset from the
// start of the text, and whether it is a character cut off by the end of the text. Every function
// of this header that takes UTF-8 throws it, and nothing else of the text is returned then.
class MIBOLAN_API EncodingError : public std::runtime_error {
 public:
  EncodingError(std::uint64_t offset, bool truncated);
  std::uint64_t offset() const { return offset_; }
  bool truncated() const { return truncated_; }

 private:
  std::uint64_t offset_;
  bool truncated_;
};

// The whole of a UTF-8 text converted at once, in UTF-8: exactly what the converter program
// writes for it with the same options, without the line break that the program adds at the end
// (and, in Style::Html, without the page around it). A byte-order mark at the very start is
// skipped. Throws EncodingError for ill-formed UTF-8 (overlong forms, encoded surrogates, code
// points above U+10FFFF, stray or missing continuation bytes), unless IllFormed::Replace reads
// each as U+FFFD, and std::invalid_argument for an option out of its enumeration. Safe to call
// from any number of threads at once; it never starts a thread.
MIBOLAN_API std::string ConvertUtf8(std::string_view text, const ConversionOptions& options = {});

// One piece of a UTF-8 text as ReadUtf8 cuts it: a character that the conversion reads, or a run
// of everything between two such characters (Latin text, punctuation, blanks, line breaks,
// characters it leaves out), so that the pieces put together are the text.
struct Utf8Piece {
  std::string_view text;   // the character or the run: a view into the text given to ReadUtf8
  std::size_t offset = 0;  // in bytes, from the start of the text
  std::size_t index = 0;   // in code points, from the start of the text
  std::string numbered;    // the reading as a numbered syllable, "ren2"; empty for a run
  std::string marked;      // as the output shows it, "rén"; empty for a run

  bool HasReading() const { return !numbered.empty(); }
  friend bool operator==(const Utf8Piece&, const Utf8Piece&) = default;
};

// The text cut into pieces, each character with the reading that ConvertUtf8 gives it (the
// options' style and line breaks play no part, but are checked). The pieces view `text`, which
// must outlive them. A byte-order mark at the start is a run like any other text. Throws as
// ConvertUtf8 does, but for ill-formed UTF-8 whatever options.illFormed says: the pieces view the
// text, where no U+FFFD stands. Safe to call from any number of threads at once.
MIBOLAN_API std::vector<Utf8Piece> ReadUtf8(std::string_view text, const ConversionOptions& options = {});

}  // namespace mibolan
