#include "DesignFonts.h"

#include <QString>
#include <QStringList>

#include "QtStrings.h"

namespace mibolan::ui {
void MapDesignFonts() {
  // Serif faces stand in for 宋体, sans-serif faces for 黑体; each list ends with the other
  // kind, so that any installed CJK face still shows Chinese and every tone letter.
  const QStringList serif = {u"Noto Serif CJK SC"_qs, u"Source Han Serif SC"_qs, u"AR PL UMing CN"_qs};
  const QStringList sans = {u"Noto Sans CJK SC"_qs, u"Source Han Sans SC"_qs, u"WenQuanYi Zen Hei"_qs,
                            u"Droid Sans Fallback"_qs};
  QFont::insertSubstitutions(u"宋体"_qs, serif + sans);
  QFont::insertSubstitutions(u"黑体"_qs, sans + serif);
}

QFont DesignFont(const FontDesign& design) {
  QFont font(ToQString(design.family));
  font.setPointSizeF(design.pointSize);
  return font;
}

}  // namespace mibolan::ui
