#pragma once

#include <array>
#include <string>
#include <string_view>

namespace mibolan {

// The vowels that can carry a tone mark, in the order in which they take it.
inline constexpr std::array<char16_t, 6> kToneVowels = {u'a', u'o', u'e', u'i', u'u', u'\u00FC'};

// ToneLetters[v][t - 1]: vowel kToneVowels[v] with tone t (1 to 4), precomposed.
inline constexpr char16_t ToneLetters[6][4] = {
    {u'\u0101', u'\u00E1', u'\u01CE', u'\u00E0'},  // a
    {u'\u014D', u'\u00F3', u'\u01D2', u'\u00F2'},  // o
    {u'\u0113', u'\u00E9', u'\u011B', u'\u00E8'},  // e
    {u'\u012B', u'\u00ED', u'\u01D0', u'\u00EC'},  // i
    {u'\u016B', u'\u00FA', u'\u01D4', u'\u00F9'},  // u
    {u'\u01D6', u'\u01D8', u'\u01DA', u'\u01DC'},  // ü
};

// Writes tone `tone` ("1" to "4") as a tone letter on the vowel of `syllable` that takes it:
// the first of a, o, e, i, u, ü that the syllable holds, except that "iu" is marked on the u
// ("liu" 4 gives "liù"). Any other tone ("5", "0", a letter, nothing) leaves the syllable as it is.
std::u16string MarkTone(std::u16string_view syllable, std::u16string_view tone);

// A reading as the output shows it: the tone digit "1" to "5" split off a numbered syllable and
// written as a tone letter ("ren2" gives "rén", "de5" gives "de"); a reading that ends in no
// such digit ("huo") stays whole and unmarked.
std::u16string MarkReading(std::string_view numbered);

}  // namespace mibolan
