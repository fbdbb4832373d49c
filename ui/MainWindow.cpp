#include "MainWindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWindow>

#include <mibolan/ConvertText.h>

#include "Controls.h"
#include "FrameWatch.h"
#include "QtStrings.h"
#include "SplashWindow.h"
#include "Twips.h"
#include "WindowDefinitions.h"

namespace mibolan::ui {
namespace {

QIcon WindowIcon() {
  QIcon icon;
  icon.addFile(u":/assets/icon-16.png"_qs, QSize(16, 16));
  icon.addFile(u":/assets/icon-32.png"_qs, QSize(32, 32));
  return icon;
}

}  // namespace

MainWindow::MainWindow(SplashWindow* splash, WebPageOpener opener)
    : splash_(splash),
      openWebPage_(std::move(opener)),
      textBoxSizes_{static_cast<float>(main_window::kInputBox.rect.width),
                    static_cast<float>(main_window::kOutputBox.rect.width),
                    static_cast<float>(main_window::kOutputBox.rect.height)},
      makerBanner_(MakePicture(*this, main_window::kMakerBanner)),
      convertButton_(MakePushButton(*this, main_window::kConvertButton)),
      pinyinOnlyChoice_(MakeOptionButton(*this, main_window::kPinyinOnlyChoice)),
      annotatedChoice_(MakeOptionButton(*this, main_window::kAnnotatedChoice)),
      inputCaption_(MakeLabel(*this, main_window::kInputCaption)),
      inputBox_(MakeTextBox(*this, main_window::kInputBox)),
      partnerBanner_(MakePicture(*this, main_window::kPartnerBanner)),
      outputCaption_(MakeLabel(*this, main_window::kOutputCaption)),
      advertisement_(MakeClickableLabel(*this, main_window::kAdvertisement)),
      outputBox_(MakeTextBox(*this, main_window::kOutputBox)) {
  setAttribute(Qt::WA_DeleteOnClose);
  ApplyWindowDesign(*this, main_window::kWindow);
  setWindowIcon(WindowIcon());
  CentreOnScreen(*this, ScreenArea::Available);  // the normal-size window
  SetFocusOrder();
  ConnectHandlers();
  WatchFrameChanges(*this, [this] { FollowWindowSystem(); });
  HideSplash();
}

void MainWindow::SetFocusOrder() {
  // Labels and pictures take no focus; the keyboard moves through these.
  setTabOrder(inputBox_, convertButton_);
  setTabOrder(convertButton_, outputBox_);
  setTabOrder(outputBox_, annotatedChoice_);
  setTabOrder(annotatedChoice_, pinyinOnlyChoice_);
  inputBox_->setFocus();
}

void MainWindow::ConnectHandlers() {
  connect(convertButton_, &QPushButton::clicked, this, &MainWindow::ShowConvertedInput);
  connect(makerBanner_, &ClickableLabel::clicked, this, &MainWindow::OpenMakerHomePage);
  connect(partnerBanner_, &ClickableLabel::clicked, this, &MainWindow::OpenPartnerHomePage);
  connect(advertisement_, &ClickableLabel::clicked, this, &MainWindow::OpenMakerHomePage);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FollowWindowSystem();
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  FollowWindowSystem();
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FollowWindowSystem();
}

void MainWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) FollowWindowSystem();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  UnloadSplash();
  event->accept();
}

QSize MainWindow::OuterSize() const {
  // The widget keeps the frame it was told of at its last resize or move; the window asks the
  // window system again once the frame has changed.
  const QWindow* handle = windowHandle();
  return handle != nullptr ? handle->frameGeometry().size() : frameGeometry().size();
}

void MainWindow::FollowWindowSystem() {
  CentreByFrameOnce();
  FollowOuterSize();
}

void MainWindow::CentreByFrameOnce() {
  // The frame is unknown until the window system has framed the window in the normal state; for
  // the window opened maximized that is its first restore. A state change may come before the
  // normal size, and the normal window keeps its place from then on.
  if (centredByFrame_ || !isVisible() || windowState() != Qt::WindowNoState ||
      size() != ClientSize(main_window::kWindow)) {
    return;
  }
  const QWindow* handle = windowHandle();
  if (handle == nullptr || handle->frameMargins().isNull()) return;
  centredByFrame_ = true;
  CentreOnScreen(*this, ScreenArea::Available);
}

void MainWindow::FollowOuterSize() {
  const QSize outer = OuterSize();
  if (outer == lastOuterSize_) return;
  lastOuterSize_ = outer;
  FitTextBoxes();
}

void MainWindow::HideSplash() {
  if (splash_) splash_->hide();
}

void MainWindow::FitTextBoxes() {
  const QSize outer = OuterSize();
  textBoxSizes_ =
      ApplyResizeRule(textBoxSizes_, ToTwips(outer.width()), ToTwips(outer.height()), main_window::kOutputBox.rect.top);
  ShowTextBoxSizes();
}

void MainWindow::ShowTextBoxSizes() {
  inputBox_->resize(ToPixels(textBoxSizes_.inputWidth), inputBox_->height());
  outputBox_->resize(ToPixels(textBoxSizes_.outputWidth), ToPixels(textBoxSizes_.outputHeight));
}

void MainWindow::UnloadSplash() {
  // The splash stayed loaded, hidden, since this window loaded; with it gone no window is left.
  if (splash_) splash_->close();
}

void MainWindow::ShowConvertedInput() {
  // The copy of the input and the engine's own string are gone when the box lays the output out.
  ReplaceText(*outputBox_, ConvertedInput());
}

QString MainWindow::ConvertedInput() const {
  // The text as the box holds it: toPlainText() would turn no-break spaces into the blanks
  // that some rules look for, and line and paragraph separators into line feeds.
  const QString input = inputBox_->document()->toRawText();
  const Style style = annotatedChoice_->isChecked() ? Style::Annotated : Style::Pinyin;
  return ToQString(ConvertText(ToU16View(input), style));
}

void MainWindow::OpenMakerHomePage() { openWebPage_(kMakerHomePage); }

void MainWindow::OpenPartnerHomePage() { openWebPage_(kPartnerHomePage); }

}  // namespace mibolan::ui
