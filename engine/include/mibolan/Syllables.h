#pragma once

#include <string>
#include <string_view>

#include <mibolan/Export.h>

namespace mibolan {

// A syllable written with a tone letter: "lü4" gives "lǜ", "liu4" "liù", "de5" or "de" "de" (the
// neutral tone has no mark). The syllable may come with a tone digit 1 to 5 or a tone mark
// (precomposed or combining), in any case, with "v" or "u" with combining diaeresis for "ü"; it
// comes back in small letters. Empty when it is not one syllable of Hanyu Pinyin with one tone
// at most. Never throws; safe to call from any number of threads at once.
MIBOLAN_API std::string ToToneMarks(std::string_view syllable);

// The same syllable with its tone as a final digit: "lǜ" gives "lü4", "de" "de5", "LV4" "lü4";
// after j, q, x and y "ü" is written "u" ("xu2"). Empty when it is not a syllable, as above.
MIBOLAN_API std::string ToToneDigits(std::string_view syllable);

}  // namespace mibolan
