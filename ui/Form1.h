#pragma once

#include <QPointer>
#include <QSize>
#include <QWidget>

#include "ResizeRule.h"
#include "shell/OpenWebPage.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace mibolan::ui {

class ClickableLabel;
class Form2;

// The main window: the input box, the style options, the button that converts, the output box,
// and two pictures and an advertisement line that open web pages.
class Form1 final : public QWidget {
  Q_OBJECT

 public:
  // `splash` is hidden when this window loads and unloaded when it closes (may be null).
  explicit Form1(Form2* splash = nullptr, WebPageOpener opener = OpenWebPage);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void Form_Load();
  void Form_Resize();
  void Form_Unload();
  void Command1_Click();
  QString ConvertedInput() const;
  void Image1_Click();
  void Image2_Click();
  void Label3_Click();

  void SetFocusOrder();
  void ConnectHandlers();
  QSize OuterSize() const;
  // After every change of the window's size, place, state or frame.
  void FollowWindowSystem();
  void CentreByFrameOnce();
  void FollowOuterSize();
  void ShowTextBoxSizes();

  QPointer<Form2> splash_;
  WebPageOpener openWebPage_;
  // The frame arrives after the first resize, and under X11 a new frame may come after the
  // last resize and move, so the rule runs whenever the outer size differs from the last.
  QSize lastOuterSize_;
  bool centredByFrame_ = false;
  TextBoxSizes textBoxSizes_;

  ClickableLabel* const Image1;
  QPushButton* const Command1;
  QRadioButton* const Option3;
  QRadioButton* const Option1;
  QLabel* const Label1;
  QPlainTextEdit* const Text1;
  ClickableLabel* const Image2;
  QLabel* const Label2;
  ClickableLabel* const Label3;
  QPlainTextEdit* const Text2;
};

}  // namespace mibolan::ui
