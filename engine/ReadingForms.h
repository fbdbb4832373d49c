#pragma once

#include <string>
#include <string_view>

namespace mibolan {

// One reading in every form that the output styles write, made once so that the
// conversion pass only copies.
struct ReadingForms {
  std::string numbered;        // "ren2", as the dictionary or a rule gives it
  std::u16string marked;       // "rén"
  std::u16string pinyin16;     // "rén "
  std::u16string annotated16;  // "(rén)", written after the character
  std::string pinyin8;         // the same two in UTF-8
  std::string annotated8;
  std::u16string numbers16;    // "ren2 ": the numbered syllable and a blank
  std::string numbers8;
  std::string ruby8;           // "<rp>(</rp><rt>rén</rt><rp>)</rp></ruby>", after "<ruby>" and the character
};

// Splits the tone digit "1" to "5" off a numbered syllable and marks the tone; a reading
// that ends in no such digit ("huo") is kept whole and unmarked.
ReadingForms MakeReadingForms(std::string_view numbered);

}  // namespace mibolan
