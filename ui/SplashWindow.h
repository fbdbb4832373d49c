#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace mibolan::ui {

class MainWindow;

// The splash window: a borderless light-yellow card in the middle of the screen. Its one-shot
// timer opens the main window, which hides it on loading and unloads it on closing.
class SplashWindow final : public QWidget {
  Q_OBJECT

 public:
  SplashWindow();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  // The splash takes no input: clicks and keys are swallowed.
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void StartSplashTimer();
  void OpenMainWindow();

  QTimer* const splashTimer_;
  QPointer<MainWindow> mainWindow_;
};

}  // namespace mibolan::ui
