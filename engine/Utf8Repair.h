#pragma once

#include <string>
#include <string_view>

namespace mibolan {

// Makes UTF-8 that arrives in pieces, split anywhere, well formed: each ill-formed sequence
// becomes U+FFFD, one for each maximal subpart (the longest start of a well-formed character
// that it holds, or else one byte), as Unicode recommends and as browsers decode.
class Utf8Repair {
 public:
  // The next piece, repaired; a character that the piece cuts off waits for the next. The view
  // holds until the next call.
  std::string_view Repair(std::string_view bytes);

  // Ends the text: a character cut off by its end is U+FFFD.
  std::string_view Finish();

 private:
  std::string carried_;  // the start of a character that the last piece cut off
  std::string repaired_;
};

}  // namespace mibolan
