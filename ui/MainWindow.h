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
class SplashWindow;

// The main window: the input box, the style options, the button that converts, the output box,
// and two pictures and an advertisement line that open web pages.
class MainWindow final : public QWidget {
  Q_OBJECT

 public:
  // `splash` is hidden when this window loads and unloaded when it closes (may be null).
  explicit MainWindow(SplashWindow* splash = nullptr, WebPageOpener opener = OpenWebPage);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void HideSplash();
  void FitTextBoxes();
  void UnloadSplash();
  void ShowConvertedInput();
  QString ConvertedInput() const;
  void OpenMakerHomePage();
  void OpenPartnerHomePage();

  void SetFocusOrder();
  void ConnectHandlers();
  QSize OuterSize() const;
  // After every change of the window's size, place, state or frame.
  void FollowWindowSystem();
  void CentreByFrameOnce();
  void FollowOuterSize();
  void ShowTextBoxSizes();

  QPointer<SplashWindow> splash_;
  WebPageOpener openWebPage_;
  // The frame arrives after the first resize, and under X11 a new frame may come after the
  // last resize and move, so the rule runs whenever the outer size differs from the last.
  QSize lastOuterSize_;
  bool centredByFrame_ = false;
  TextBoxSizes textBoxSizes_;

  ClickableLabel* const makerBanner_;
  QPushButton* const convertButton_;
  QRadioButton* const pinyinOnlyChoice_;
  QRadioButton* const annotatedChoice_;
  QLabel* const inputCaption_;
  QPlainTextEdit* const inputBox_;
  ClickableLabel* const partnerBanner_;
  QLabel* const outputCaption_;
  ClickableLabel* const advertisement_;
  QPlainTextEdit* const outputBox_;
};

}  // namespace mibolan::ui
