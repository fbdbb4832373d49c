#include "ReadingForms.h"

#include "MarkTone.h"
#include "Utf.h"

namespace mibolan {

ReadingForms MakeReadingForms(std::string_view numbered) {
  const std::u16string reading = ToUtf16(numbered);
  std::u16string_view syllable = reading;
  std::u16string_view tone;
  if (!reading.empty()) {
    tone = syllable.substr(reading.size() - 1);
    if (tone[0] >= u'1' && tone[0] <= u'5') syllable.remove_suffix(1);
  }
  ReadingForms forms;
  forms.numbered = numbered;
  forms.marked = MarkTone(syllable, tone);
  forms.pinyin16 = forms.marked + u' ';
  forms.annotated16 = u'(' + forms.marked + u')';
  forms.pinyin8 = ToUtf8(forms.pinyin16);
  forms.annotated8 = ToUtf8(forms.annotated16);
  forms.numbers16 = reading + u' ';
  forms.numbers8 = forms.numbered + ' ';
  forms.ruby8 = "<rp>(</rp><rt>" + ToUtf8(forms.marked) + "</rt><rp>)</rp></ruby>";
  return forms;
}

}  // namespace mibolan
