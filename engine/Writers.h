#pragma once

// One writer for each output form, shared by every walk: FragmentWriter for the plain styles
// (Pinyin, Annotated, Numbers), RubyWriter for the html style; and the one choice of line break.

#include <array>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include "ConversionTables.h"
#include "HtmlText.h"
#include "Utf.h"

namespace mibolan {

// What ends an output line where the input's line ends with the line feed at `lineFeed` of
// `text`: the input's own line break, "\r\n" or "\n".
template <class Text>
std::string_view LineBreakAt(const Text& text, std::size_t lineFeed) {
  return lineFeed > 0 && text[lineFeed - 1] == '\r' ? "\r\n" : "\n";
}

// Output of the plain styles gathers in a block of this size and goes to the output string when
// full.
inline constexpr std::size_t kOutputBlockSize = 4096;

// Writes the plain styles: each converted character's reading as its fixed-size fragment, after
// the character itself in the annotated style. The block is the caller's local array and the
// writer a local object whose address never escapes, so that the compiler keeps the fill in a
// register: the block's stores cannot alias it.
template <class Char>
class FragmentWriter {
 public:
  using Block = std::array<Char, kOutputBlockSize + 3 + Fragment<Char>::kCapacity>;

  FragmentWriter(Block& block, const ConversionTables& tables, Style style, std::basic_string<Char>& out)
      : block_(block.data()), fragments_(tables.Fragments<Char>(style)), out_(&out) {}

  // Writes the unit `character` with `reading`, 0 when it is not converted. Styles that do not
  // write the character write every unit's fragment, the empty one when it is not converted: in
  // text that mixes Chinese with other characters that saves a hard-to-predict branch.
  template <bool kWritesCharacter>
  void Write(char16_t character, ReadingIndex reading) {
    if constexpr (kWritesCharacter) {
      if (reading == 0) return;
      if constexpr (sizeof(Char) == 1) {
        used_ = static_cast<std::size_t>(WriteUtf8(block_ + used_, character) - block_);
      } else {
        block_[used_++] = character;
      }
    }
    const Fragment<Char>& fragment = fragments_[reading];
    std::memcpy(block_ + used_, fragment.text.data(), sizeof fragment.text);
    used_ += fragment.size;
    if (used_ >= kOutputBlockSize) Flush();
  }

  // Writes the reading alone, for a character already written through Out().
  void WriteReading(ReadingIndex reading) { Out().append(fragments_[reading].text.data(), fragments_[reading].size); }

  // The output string with all that is written so far, for what the block does not take.
  std::basic_string<Char>& Out() {
    Flush();
    return *out_;
  }

  void Flush() {
    out_->append(block_, used_);
    used_ = 0;
  }

 private:
  Char* block_;
  std::size_t used_ = 0;
  const Fragment<Char>* fragments_;
  std::basic_string<Char>* out_;
};

// Writes the html style: each converted character in a ruby element with its reading, the
// characters of a word in one (a line never breaks inside the word); everything else, escaped
// for HTML.
class RubyWriter {
 public:
  explicit RubyWriter(const ConversionTables& tables) : tables_(tables) {}

  // Writes `base` (a character, the units of a surrogate pair) with `reading` into the open ruby
  // element or a new one; `after`, invisible characters that stay with it, goes into the base.
  void Write(std::string& out, std::u16string_view base, std::u16string_view after, ReadingIndex reading) {
    if (!open_) out += "<ruby>";
    open_ = true;
    AppendUtf8(out, base);
    AppendHtmlText(out, after);
    const Fragment<char>& marked = tables_.Fragments<char>(Style::Pinyin)[reading];  // "rén "
    out += "<rp>(</rp><rt>";
    out.append(marked.text.data(), marked.size - 1U);
    out += "</rt><rp>)</rp>";
  }

  // Ends the ruby element, if one is open: the word is written.
  void Close(std::string& out) {
    if (open_) out += "</ruby>";
    open_ = false;
  }

  // Writes text that is not converted, after the ruby element before it.
  void WriteText(std::string& out, std::u16string_view text) {
    Close(out);
    AppendHtmlText(out, text);
  }

 private:
  const ConversionTables& tables_;
  bool open_ = false;
};

}  // namespace mibolan
