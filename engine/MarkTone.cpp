#include "MarkTone.h"

#include <algorithm>

#include "Utf.h"

namespace mibolan {

namespace {

int ToneValue(std::u16string_view tone) {
  if (tone.size() != 1 || tone[0] < u'0' || tone[0] > u'9') return 0;
  return tone[0] - u'0';
}

// Index into kToneVowels of the vowel that takes the mark, or -1 when there is none.
int MarkedVowel(std::u16string_view syllable) {
  for (std::size_t v = 0; v < kToneVowels.size(); ++v) {
    if (syllable.find(kToneVowels[v]) == std::u16string_view::npos) continue;
    // Hanyu Pinyin marks "iu" on its second vowel: liù, jiǔ, xiū.
    if (kToneVowels[v] == u'i' && syllable.find(u"iu") != std::u16string_view::npos) return 4;
    return static_cast<int>(v);
  }
  return -1;
}

}  // namespace

std::u16string MarkTone(std::u16string_view syllable, std::u16string_view tone) {
  std::u16string marked(syllable);
  const int value = ToneValue(tone);
  if (value < 1 || value > 4) return marked;
  const int vowel = MarkedVowel(syllable);
  if (vowel < 0) return marked;
  std::replace(marked.begin(), marked.end(), kToneVowels[static_cast<std::size_t>(vowel)],
               ToneLetters[vowel][value - 1]);
  return marked;
}

std::u16string MarkReading(std::string_view numbered) {
  const std::u16string reading = ToUtf16(numbered);
  std::u16string_view syllable = reading;
  std::u16string_view tone;
  if (!reading.empty()) {
    tone = syllable.substr(reading.size() - 1);
    if (tone[0] >= u'1' && tone[0] <= u'5') syllable.remove_suffix(1);
  }
  return MarkTone(syllable, tone);
}

}  // namespace mibolan
