#pragma once

// Builds the controls of a window from their declared designs.

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "WindowDefinitions.h"

namespace mibolan::ui {

// A label or picture with a click: a press and release of the left button over it.
class ClickableLabel final : public QLabel {
  Q_OBJECT

 public:
  using QLabel::QLabel;

 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool pressed_ = false;
};

// A push button that Enter (Return or the keypad's) presses as well as Space when it has the
// focus; the toolkit leaves Enter to the default buttons of dialogs.
class PushButton final : public QPushButton {
  Q_OBJECT

 public:
  using QPushButton::QPushButton;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

// The designed client size in pixels.
QSize ClientSize(const WindowDesign& design);

// Sizes and titles a top-level window as designed: client size, caption, font, background.
void ApplyWindowDesign(QWidget& window, const WindowDesign& design);

// Where a window is centred: on the whole screen, or on the part that panels and docks leave.
enum class ScreenArea { Whole, Available };

// Moves the window to the middle of the screen it opens on: its outer frame once the window
// system has framed it, its client area before.
void CentreOnScreen(QWidget& window, ScreenArea area);

// Multi-line text box with a vertical scroll bar only; lines wrap at the box's width. Tab and
// Shift+Tab move the focus on; a tab character can still be pasted.
QPlainTextEdit* MakeTextBox(QWidget& window, const ControlDesign& design);
// Replaces the box's whole text as setPlainText() does (cursor at the start, nothing to undo),
// laying the new text out once instead of twice.
void ReplaceText(QPlainTextEdit& box, const QString& text);
QPushButton* MakePushButton(QWidget& window, const ControlDesign& design);
QRadioButton* MakeOptionButton(QWidget& window, const ControlDesign& design);
// Word-wrapped text from the top, as designed; takes no focus.
QLabel* MakeLabel(QWidget& window, const ControlDesign& design);
ClickableLabel* MakeClickableLabel(QWidget& window, const ControlDesign& design);
// A picture at its own size, never stretched.
ClickableLabel* MakePicture(QWidget& window, const ControlDesign& design);

// Pixel geometry of a design's rectangle.
QRect PixelRect(const TwipsRect& rect);

}  // namespace mibolan::ui
