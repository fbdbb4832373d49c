// mibolan: the desktop program. It opens with the splash window, whose timer opens the main
// window; closing the main window ends the program.
#include <QApplication>

#include "DesignFonts.h"
#include "DisplayCheck.h"
#include "SplashWindow.h"
#include "Translations.h"

int main(int argc, char** argv) {
  if (const auto problem = mibolan::ui::MissingDisplay()) {
    mibolan::ui::ReportNoDisplay(*problem);
    return 1;
  }
  const QtMessageHandler previous = qInstallMessageHandler(mibolan::ui::ReportUnreachableDisplay);
  QApplication application(argc, argv);
  qInstallMessageHandler(previous);

  mibolan::ui::MapDesignFonts();
  mibolan::ui::InstallToolkitTranslations();
  auto* splash = new mibolan::ui::SplashWindow;  // deletes itself when the main window unloads it
  splash->show();
  return QApplication::exec();
}
