#pragma once

namespace mibolan {

// How each converted character is written.
enum class Style {
  Pinyin,     // the marked syllable and a blank: "rén "
  Annotated,  // the character and its marked syllable in parentheses: "人(rén)"
  Numbers,    // the numbered syllable and a blank: "ren2 ", "de5 " (a reading without digit as it is)
  // HTML for a page's body: each converted character as
  // "<ruby>人<rp>(</rp><rt>rén</rt><rp>)</rp></ruby>", and everything else kept, escaped for HTML
  Html,
};

}  // namespace mibolan
