#include "Form1.h"

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
#include "Form2.h"
#include "FrameWatch.h"
#include "QtStrings.h"
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

Form1::Form1(Form2* splash, WebPageOpener opener)
    : splash_(splash),
      openWebPage_(std::move(opener)),
      textBoxSizes_{static_cast<float>(form1::Text1.rect.width), static_cast<float>(form1::Text2.rect.width),
                    static_cast<float>(form1::Text2.rect.height)},
      Image1(MakePicture(*this, form1::Image1)),
      Command1(MakePushButton(*this, form1::Command1)),
      Option3(MakeOptionButton(*this, form1::Option3)),
      Option1(MakeOptionButton(*this, form1::Option1)),
      Label1(MakeLabel(*this, form1::Label1)),
      Text1(MakeTextBox(*this, form1::Text1)),
      Image2(MakePicture(*this, form1::Image2)),
      Label2(MakeLabel(*this, form1::Label2)),
      Label3(MakeClickableLabel(*this, form1::Label3)),
      Text2(MakeTextBox(*this, form1::Text2)) {
  setAttribute(Qt::WA_DeleteOnClose);
  ApplyWindowDesign(*this, form1::Window);
  setWindowIcon(WindowIcon());
  CentreOnScreen(*this, ScreenArea::Available);  // the normal-size window
  SetFocusOrder();
  ConnectHandlers();
  WatchFrameChanges(*this, [this] { FollowWindowSystem(); });
  Form_Load();
}

void Form1::SetFocusOrder() {
  // Labels and pictures take no focus; the keyboard moves through these.
  setTabOrder(Text1, Command1);
  setTabOrder(Command1, Text2);
  setTabOrder(Text2, Option1);
  setTabOrder(Option1, Option3);
  Text1->setFocus();
}

void Form1::ConnectHandlers() {
  connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
  connect(Image1, &ClickableLabel::clicked, this, &Form1::Image1_Click);
  connect(Image2, &ClickableLabel::clicked, this, &Form1::Image2_Click);
  connect(Label3, &ClickableLabel::clicked, this, &Form1::Label3_Click);
}

void Form1::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FollowWindowSystem();
}

void Form1::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  FollowWindowSystem();
}

void Form1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FollowWindowSystem();
}

void Form1::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) FollowWindowSystem();
}

void Form1::closeEvent(QCloseEvent* event) {
  Form_Unload();
  event->accept();
}

QSize Form1::OuterSize() const {
  // The widget keeps the frame it was told of at its last resize or move; the window asks the
  // window system again once the frame has changed.
  const QWindow* handle = windowHandle();
  return handle != nullptr ? handle->frameGeometry().size() : frameGeometry().size();
}

void Form1::FollowWindowSystem() {
  CentreByFrameOnce();
  FollowOuterSize();
}

void Form1::CentreByFrameOnce() {
  // The frame is unknown until the window system has framed the window in the normal state; for
  // the window opened maximized that is its first restore. A state change may come before the
  // normal size, and the normal window keeps its place from then on.
  if (centredByFrame_ || !isVisible() || windowState() != Qt::WindowNoState || size() != ClientSize(form1::Window)) {
    return;
  }
  const QWindow* handle = windowHandle();
  if (handle == nullptr || handle->frameMargins().isNull()) return;
  centredByFrame_ = true;
  CentreOnScreen(*this, ScreenArea::Available);
}

void Form1::FollowOuterSize() {
  const QSize outer = OuterSize();
  if (outer == lastOuterSize_) return;
  lastOuterSize_ = outer;
  Form_Resize();
}

void Form1::Form_Load() {
  if (splash_) splash_->hide();
}

void Form1::Form_Resize() {
  const QSize outer = OuterSize();
  textBoxSizes_ =
      ApplyResizeRule(textBoxSizes_, ToTwips(outer.width()), ToTwips(outer.height()), form1::Text2.rect.top);
  ShowTextBoxSizes();
}

void Form1::ShowTextBoxSizes() {
  Text1->resize(ToPixels(textBoxSizes_.text1Width), Text1->height());
  Text2->resize(ToPixels(textBoxSizes_.text2Width), ToPixels(textBoxSizes_.text2Height));
}

void Form1::Form_Unload() {
  // The splash stayed loaded, hidden, since this window loaded; with it gone no window is left.
  if (splash_) splash_->close();
}

void Form1::Command1_Click() {
  // The copy of the input and the engine's own string are gone when the box lays the output out.
  ReplaceText(*Text2, ConvertedInput());
}

QString Form1::ConvertedInput() const {
  // The text as the box holds it: toPlainText() would turn no-break spaces into the blanks
  // that some rules look for, and line and paragraph separators into line feeds.
  const QString input = Text1->document()->toRawText();
  const Style style = Option1->isChecked() ? Style::Annotated : Style::Pinyin;
  return ToQString(ConvertText(ToU16View(input), style));
}

void Form1::Image1_Click() { openWebPage_(kMakerHomePage); }

void Form1::Label3_Click() { openWebPage_(kMakerHomePage); }

void Form1::Image2_Click() { openWebPage_(kPartnerHomePage); }

}  // namespace mibolan::ui
