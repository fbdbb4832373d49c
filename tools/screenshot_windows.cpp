// mibolan-screenshots: starts the program's windows as the program does and saves pictures of
// them for a person to look at: the splash, the main window as it opens, and the main window
// after converting its welcome text in each style. Run through tools/screenshot_windows.sh.
// Usage: mibolan-screenshots FOLDER
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <functional>

#include "DesignFonts.h"
#include "SplashWindow.h"

namespace {

QWidget* VisibleMainWindow() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->objectName() == QLatin1String("Form1") && window->isVisible()) return window;
  }
  return nullptr;
}

bool Save(const QPixmap& picture, const QDir& folder, const char* name) {
  const QString path = folder.filePath(QString::fromLatin1(name));
  if (!picture.save(path)) {
    std::fprintf(stderr, "mibolan-screenshots: cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

// The whole screen, so the main window shows with the window manager's frame.
QPixmap Screen() { return QGuiApplication::primaryScreen()->grabWindow(0); }

bool Click(QWidget& window, const char* name) {
  auto* button = window.findChild<QAbstractButton*>(QString::fromLatin1(name));
  if (button != nullptr) button->click();
  return button != nullptr;
}

// Runs the steps one after the other, each some time after the one before, then quits.
void RunSteps(std::vector<std::function<bool()>> steps, std::size_t next = 0) {
  if (next == steps.size()) {
    QCoreApplication::exit(0);
    return;
  }
  QTimer::singleShot(500, [steps = std::move(steps), next]() mutable {
    if (!steps[next]()) {
      QCoreApplication::exit(1);
      return;
    }
    RunSteps(std::move(steps), next + 1);
  });
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: mibolan-screenshots FOLDER\n");
    return 2;
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  mibolan::ui::MapDesignFonts();
  auto* splash = new mibolan::ui::SplashWindow;
  if (!Save(splash->grab(), folder, "splash.png")) return 1;
  splash->show();

  RunSteps({
      [&folder] { return VisibleMainWindow() != nullptr && Save(Screen(), folder, "main-window.png"); },
      // Each picture is taken a step after its clicks, once the window has been repainted.
      [] { return Click(*VisibleMainWindow(), "Command1"); },
      [&folder] { return Save(Screen(), folder, "main-window-pinyin.png"); },
      [] { return Click(*VisibleMainWindow(), "Option1") && Click(*VisibleMainWindow(), "Command1"); },
      [&folder] { return Save(Screen(), folder, "main-window-annotated.png"); },
      [] {
        VisibleMainWindow()->close();
        return true;
      },
  });
  return QApplication::exec();
}
