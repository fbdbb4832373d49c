// The main window on a real X server with a window manager (run through tools/with_xvfb.sh):
// the start-up opens it maximized, and the text boxes follow its outer size, frame included,
// after every maximize, restore and resize.
#include <QPlainTextEdit>
#include <QScreen>
#include <QtTest>

#include <xcb/xcb.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "DesignFonts.h"
#include "SplashWindow.h"
#include "UiTestSupport.h"

using namespace mibolan::ui;
using namespace mibolan::ui::testing;

namespace {

// The outer rectangle as the window system tells it now. The widget's own frameGeometry() keeps
// the frame of its last resize or move, which the window manager may change afterwards.
QRect Outer(const QWidget& window) { return window.windowHandle()->frameGeometry(); }

// The sizes the resize rule gives the boxes for the window's current outer size, within the
// rounding of twips to pixels.
bool BoxesFollowTheOuterSize(const QWidget& window) {
  const QSize outer = Outer(window).size();
  const auto* text1 = window.findChild<QPlainTextEdit*>(u"Text1"_qs);
  const auto* text2 = window.findChild<QPlainTextEdit*>(u"Text2"_qs);
  const int width = qRound(0.99 * outer.width());
  const int bottom = qRound(0.95 * outer.height());
  return qAbs(text1->width() - width) <= 1 && text2->width() == text1->width() &&
         qAbs(text2->y() + text2->height() - bottom) <= 1;
}

// Waits until the window manager has finished with the window: the same outer geometry over
// a tenth of a second. Asking it for something new earlier may see the request dropped.
void AwaitWindowManager(const QWidget& window) {
  QRect last;
  for (int round = 0; round < 50; ++round) {
    QTest::qWait(100);
    const QRect now = Outer(window);
    if (now == last) return;
    last = now;
  }
}

// Announces a frame of the given widths (left, right, top, bottom) around the window, as the
// window manager does, without a resize or a move.
void AnnounceFrame(const QWidget& window, const std::array<std::uint32_t, 4>& extents) {
  xcb_connection_t* connection = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
  const char* name = "_NET_FRAME_EXTENTS";
  std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
      xcb_intern_atom_reply(
          connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr),
      &std::free);
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window.winId()), atom->atom,
                      XCB_ATOM_CARDINAL, 32, 4, extents.data());
  xcb_flush(connection);
}

QString Describe(const QWidget& window) {
  const auto* text1 = window.findChild<QPlainTextEdit*>(u"Text1"_qs);
  const auto* text2 = window.findChild<QPlainTextEdit*>(u"Text2"_qs);
  return u"outer %8,%9 %1x%2, client %3x%4, Text1 width %5, Text2 %6x%7"_qs.arg(Outer(window).width())
      .arg(Outer(window).height())
      .arg(window.width())
      .arg(window.height())
      .arg(text1->width())
      .arg(text2->width())
      .arg(text2->height())
      .arg(Outer(window).x())
      .arg(Outer(window).y());
}

}  // namespace

class RealWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY2(QGuiApplication::platformName() == u"xcb"_qs, "run this test through tools/with_xvfb.sh");
    MapDesignFonts();
    (new SplashWindow)->show();
    QTRY_VERIFY_WITH_TIMEOUT(VisibleWindowsNamed("Form1") == 1, 10000);
    main_ = TopLevelNamed("Form1");
    QVERIFY(QTest::qWaitForWindowExposed(main_));
  }

  // Maximized, the frame fills the screen and the boxes follow the outer size, not the client's.
  void opensMaximized() {
    QTRY_VERIFY(main_->windowState() & Qt::WindowMaximized);
    const QSize screen = main_->screen()->availableGeometry().size();
    QTRY_COMPARE(Outer(*main_).size(), screen);
    QVERIFY2(Outer(*main_).height() > main_->height(), "the window has no frame");
    QTRY_VERIFY2(BoxesFollowTheOuterSize(*main_), qPrintable(Describe(*main_)));
  }

  void restoreAndMaximizeAgain() {
    main_->showNormal();
    AwaitWindowManager(*main_);
    QTRY_VERIFY(!(main_->windowState() & Qt::WindowMaximized));
    QTRY_COMPARE(main_->size(), QSize(714, 534));
    QTRY_VERIFY2(BoxesFollowTheOuterSize(*main_), qPrintable(Describe(*main_)));
    // Restored for the first time, the window is centred by its outer frame.
    const QPoint centre = main_->screen()->availableGeometry().center();
    QTRY_VERIFY2((Outer(*main_).center() - centre).manhattanLength() <= 1, qPrintable(Describe(*main_)));
    main_->showMaximized();
    AwaitWindowManager(*main_);
    QTRY_COMPARE(Outer(*main_).size(), main_->screen()->availableGeometry().size());
    QTRY_VERIFY2(BoxesFollowTheOuterSize(*main_), qPrintable(Describe(*main_)));
  }

  // Too low for Text2: it keeps its height while the widths follow; a taller window repairs it.
  void tooLowThenTallAgain() {
    main_->showNormal();
    AwaitWindowManager(*main_);
    QTRY_VERIFY(!(main_->windowState() & Qt::WindowMaximized));
    AwaitWindowManager(*main_);
    auto* text2 = Find<QPlainTextEdit>(*main_, "Text2");
    main_->resize(600, 400);
    QTRY_COMPARE(main_->size(), QSize(600, 400));
    AwaitWindowManager(*main_);
    QTRY_VERIFY2(BoxesFollowTheOuterSize(*main_), qPrintable(Describe(*main_)));
    const int height = text2->height();
    main_->resize(500, 120);
    QTRY_COMPARE(main_->size(), QSize(500, 120));
    AwaitWindowManager(*main_);
    QTRY_VERIFY2(qAbs(text2->width() - qRound(0.99 * Outer(*main_).width())) <= 1, qPrintable(Describe(*main_)));
    QCOMPARE(text2->height(), height);
    main_->showMaximized();
    AwaitWindowManager(*main_);
    QTRY_COMPARE(Outer(*main_).size(), main_->screen()->availableGeometry().size());
    QTRY_VERIFY2(BoxesFollowTheOuterSize(*main_), qPrintable(Describe(*main_)));
  }

  // Minimizing sends no resize; restoring must still leave the boxes right.
  void minimizeAndRestore() {
    main_->showMinimized();
    AwaitWindowManager(*main_);
    QTRY_VERIFY(main_->windowState() & Qt::WindowMinimized);
    main_->showMaximized();
    AwaitWindowManager(*main_);
    QTRY_COMPARE(main_->windowState(), Qt::WindowMaximized);
    QTRY_COMPARE(Outer(*main_).size(), main_->screen()->availableGeometry().size());
    QTRY_VERIFY2(BoxesFollowTheOuterSize(*main_), qPrintable(Describe(*main_)));
  }

  // The window manager may publish a new frame after the window's last resize and move (openbox
  // does so now and then when it maximizes); the boxes follow the frame as it is announced.
  void frameChangedWithoutResize() {
    AwaitWindowManager(*main_);
    QTRY_VERIFY2(BoxesFollowTheOuterSize(*main_), qPrintable(Describe(*main_)));
    const QRect client = main_->geometry();
    const QRect outer = Outer(*main_);
    const std::array<std::uint32_t, 4> extents = {static_cast<std::uint32_t>(client.left() - outer.left()),
                                                  static_cast<std::uint32_t>(outer.right() - client.right()),
                                                  static_cast<std::uint32_t>(client.top() - outer.top()),
                                                  static_cast<std::uint32_t>(outer.bottom() - client.bottom())};
    AnnounceFrame(*main_, {extents[0] + 20, extents[1] + 20, extents[2] + 30, extents[3] + 30});
    QTRY_COMPARE(Outer(*main_).size(), outer.size() + QSize(40, 60));
    QTRY_VERIFY2(BoxesFollowTheOuterSize(*main_), qPrintable(Describe(*main_)));
    AnnounceFrame(*main_, extents);
    QTRY_COMPARE(Outer(*main_).size(), outer.size());
    QTRY_VERIFY2(BoxesFollowTheOuterSize(*main_), qPrintable(Describe(*main_)));
  }

  // Closing the main window ends the program.
  void cleanupTestCase() {
    QTimer::singleShot(0, main_, [this] { main_->close(); });
    QTimer::singleShot(5000, [] { QCoreApplication::exit(2); });
    QCOMPARE(QApplication::exec(), 0);
  }

 private:
  QWidget* main_ = nullptr;
};

QTEST_MAIN(RealWindowTest)
#include "RealWindowTest.moc"
