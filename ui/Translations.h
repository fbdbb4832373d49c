#pragma once

#include <QLocale>

namespace mibolan::ui {

// Qt's own texts (the text boxes' menus, standard shortcuts) in the language of `locale`, and in
// Simplified Chinese, the language of the windows, where Qt has no translation for it. Call once
// after the application object exists.
void InstallToolkitTranslations(const QLocale& locale = QLocale());

}  // namespace mibolan::ui
