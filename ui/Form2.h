#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace mibolan::ui {

class Form1;

// The splash window: a borderless light-yellow card in the middle of the screen. Its one-shot
// timer opens the main window, which hides it on loading and unloads it on closing.
class Form2 final : public QWidget {
  Q_OBJECT

 public:
  Form2();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  // The splash takes no input: clicks and keys are swallowed.
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Form_Resize();
  void Timer1_Timer();

  QTimer* const Timer1;
  QPointer<Form1> mainWindow_;
};

}  // namespace mibolan::ui
