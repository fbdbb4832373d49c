#pragma once

// A slow, literal implementation of the conversion, for the tests and benchmarks only: the
// dictionary text is joined from its parts on every pass and searched from the start for each
// character, exactly as the conversion is defined. The engine must give the same output.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mibolan::reference {

// The output of a pass over `text`: option1 appends "人(rén)" for each converted character,
// option3 appends "rén "; both tests are made, in that order, for every character.
std::u16string ReferenceConvertText(std::u16string_view text, const std::vector<std::u16string>& dictionaryParts,
                                    bool option1, bool option3);

// The same pass that also writes each line end of the input ("\n", or "\r\n" when a "\r"
// precedes it) where it meets it; the readings stay those of the whole text.
std::u16string ReferenceConvertTextKeepingLines(std::u16string_view text,
                                                const std::vector<std::u16string>& dictionaryParts, bool option1,
                                                bool option3);

// Thirteen dictionary parts from lines "字 syl#\n" (UTF-8): the lines in their order, split into
// thirteen runs of nearly equal length, every line ending with "\r\n".
std::vector<std::u16string> DictionaryParts(std::string_view utf8Lines);

// The parts made from the text of the dictionary built into the program.
const std::vector<std::u16string>& EmbeddedDictionaryParts();

// Whether code page 936 writes `unit` with two bytes, asked of the C library's converter.
bool ReferenceIsDoubleByte(char16_t unit);

// The polyphone rules, written out one by one in their evaluation order; the last rule that
// matches gives the reading, the empty string when none does. `position` is 1-based.
std::u16string ReferenceContextReading(std::u16string_view character, std::u16string_view text, std::int32_t position);

}  // namespace mibolan::reference
