#include "Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "QtStrings.h"

namespace mibolan::ui {

void InstallToolkitTranslations(const QLocale& locale) {
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  const QLocale simplifiedChinese(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China);
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (translator->load(locale, u"qtbase"_qs, u"_"_qs, folder) ||
      translator->load(simplifiedChinese, u"qtbase"_qs, u"_"_qs, folder)) {
    QCoreApplication::installTranslator(translator);
  } else {
    delete translator;  // not installed: Qt's texts stay English
  }
}

}  // namespace mibolan::ui
