// Start-up and shut-down under the offscreen platform: the splash, its one-shot timer, the main
// window it opens, and the end of the program when the main window closes.
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QtTest>

#include "DesignFonts.h"
#include "MainWindow.h"
#include "SplashWindow.h"
#include "UiTestSupport.h"

using namespace mibolan::ui;
using namespace mibolan::ui::testing;

class StartupTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { MapDesignFonts(); }

  void cleanup() {
    for (QWidget* window : QApplication::topLevelWidgets()) window->deleteLater();
    FlushDeletions();
  }

  void splashAsDesigned() {
    SplashWindow splash;
    QCOMPARE(splash.objectName(), u"Form2"_qs);
    QCOMPARE(splash.windowTitle(), u"Form2"_qs);
    QCOMPARE(splash.size(), QSize(361, 225));
    QCOMPARE(splash.minimumSize(), splash.maximumSize());                    // cannot be resized
    QCOMPARE(splash.windowFlags() & Qt::WindowType_Mask, Qt::SplashScreen);  // no task-bar button
    QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(splash.windowIcon().isNull() || splash.windowIcon().availableSizes().isEmpty());
    QCOMPARE(splash.palette().color(QPalette::Window), QColor(255, 255, 192));
    QVERIFY(splash.autoFillBackground());
    QCOMPARE(splash.geometry().center(), splash.screen()->geometry().center());
  }

  void splashLabels_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("family");
    QTest::addColumn<double>("pointSize");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QString>("textStart");
    QTest::newRow("lblTitle") << "lblTitle" << QRect(24, 16, 315, 32) << u"黑体"_qs << 24.0 << QColor(255, 0, 0)
                              << u"Mibolan5.0版"_qs;
    QTest::newRow("lblVersion") << "lblVersion" << QRect(32, 56, 115, 15) << u"宋体"_qs << 9.0 << QColor()
                                << u"软件作者："_qs;
    QTest::newRow("Label2") << "Label2" << QRect(32, 72, 265, 17) << u"宋体"_qs << 9.0 << QColor() << u"电子邮箱： "_qs;
    QTest::newRow("Label3") << "Label3" << QRect(32, 89, 265, 17) << u"宋体"_qs << 9.0 << QColor(255, 0, 0)
                            << u"作者网站：https://www.example.com/"_qs;
    QTest::newRow("lblDescription") << "lblDescription" << QRect(8, 110, 339, 112) << u"宋体"_qs << 10.5
                                    << QColor(0, 0, 255) << u"    "_qs;
  }
  // Positions as designed; a label is at least one line of its font high, so no text is cut.
  void splashLabels() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, family);
    QFETCH(double, pointSize);
    QFETCH(QColor, colour);
    QFETCH(QString, textStart);
    SplashWindow splash;
    auto* label = Find<QLabel>(splash, name.toLatin1().constData());
    QCOMPARE(label->pos(), geometry.topLeft());
    QCOMPARE(label->width(), geometry.width());
    QCOMPARE(label->height(), qMax(geometry.height(), label->fontMetrics().height()));
    QCOMPARE(label->font().family(), family);
    QCOMPARE(label->font().pointSizeF(), pointSize);
    if (colour.isValid()) QCOMPARE(label->palette().color(QPalette::WindowText), colour);
    QVERIFY2(label->text().startsWith(textStart), qPrintable(label->text()));
    // The whole text fits the label: on one line, or wrapped within the paragraph's box.
    const QFontMetrics metrics = label->fontMetrics();
    if (geometry.height() < 2 * metrics.height()) {
      QVERIFY2(metrics.horizontalAdvance(label->text()) <= label->width(), qPrintable(label->text()));
    } else {
      const QRect needed =
          metrics.boundingRect(QRect(0, 0, label->width(), 10000), Qt::TextWordWrap | Qt::AlignTop, label->text());
      QVERIFY2(needed.height() <= label->height(), qPrintable(label->text()));
    }
    QCOMPARE(label->alignment(), Qt::AlignLeft | Qt::AlignTop);
  }

  // The title on the splash and the main window's caption are the same text.
  void titleIsTheCaption() {
    SplashWindow splash;
    MainWindow main;
    QCOMPARE(Find<QLabel>(splash, "lblTitle")->text(), main.windowTitle());
  }

  void timerWaitsForTheFirstResize() {
    SplashWindow splash;
    auto* timer = Find<QTimer>(splash, "Timer1");
    QCOMPARE(timer->interval(), 200);
    QCOMPARE(timer->timerType(), Qt::PreciseTimer);
    QVERIFY(!timer->isActive());
    splash.show();
    QVERIFY(timer->isActive());
  }

  // Splash, then after 200 ms the maximized main window, the splash hidden but still loaded.
  void startupSequence() {
    QElapsedTimer clock;
    auto* splash = new SplashWindow;
    QPointer<SplashWindow> splashAlive(splash);
    auto* timer = Find<QTimer>(*splash, "Timer1");
    int shots = 0;
    connect(timer, &QTimer::timeout, this, [&shots] { ++shots; });
    clock.start();
    splash->show();
    QVERIFY(QTest::qWaitForWindowExposed(splash));
    QTRY_COMPARE(VisibleWindowsNamed("Form1"), 1);
    QVERIFY(clock.elapsed() >= 200);
    auto* main = TopLevelNamed("Form1");
    QVERIFY(main->windowState() & Qt::WindowMaximized);
    QVERIFY(main->parentWidget() == nullptr);
    QVERIFY(!main->isModal());
    QVERIFY(splashAlive);
    QVERIFY(!splash->isVisible());
    QVERIFY(!timer->isActive());
    // The timer fired once: waiting longer brings no second main window.
    QTest::qWait(500);
    QCOMPARE(shots, 1);
    QCOMPARE(VisibleWindowsNamed("Form1"), 1);
    int loaded = 0;
    for (const QWidget* window : QApplication::topLevelWidgets()) {
      loaded += window->objectName() == u"Form1"_qs ? 1 : 0;
    }
    QCOMPARE(loaded, 1);
  }

  // Clicks and keys on the splash change nothing.
  void splashIgnoresInput() {
    auto* splash = new SplashWindow;
    splash->show();
    QVERIFY(QTest::qWaitForWindowExposed(splash));
    Find<QTimer>(*splash, "Timer1")->stop();  // hold the splash on the screen
    const QRect before = splash->geometry();
    QTest::mouseClick(splash, Qt::LeftButton);
    QTest::mouseDClick(splash, Qt::LeftButton);
    QTest::mouseClick(Find<QLabel>(*splash, "Label3"), Qt::LeftButton);
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Space, Qt::Key_F4}) {
      QTest::keyClick(splash, key);
    }
    QTest::keyClick(splash, Qt::Key_F4, Qt::AltModifier);
    QCoreApplication::processEvents();
    QVERIFY(splash->isVisible());
    QCOMPARE(splash->geometry(), before);
    QCOMPARE(VisibleWindowsNamed("Form1"), 0);
    QVERIFY(splash->focusWidget() == nullptr);
  }

  // Closing the main window unloads the hidden splash and ends the program's event loop.
  void closingTheMainWindowEndsTheProgram() {
    auto* splash = new SplashWindow;
    QPointer<SplashWindow> splashAlive(splash);
    splash->show();
    QTRY_COMPARE(VisibleWindowsNamed("Form1"), 1);
    QPointer<QWidget> main(TopLevelNamed("Form1"));
    QTimer::singleShot(0, main, [&main] { main->close(); });
    QTimer::singleShot(5000, [] { QCoreApplication::exit(2); });  // the program did not end
    QCOMPARE(QApplication::exec(), 0);
    FlushDeletions();
    QVERIFY(!main);
    QVERIFY(!splashAlive);
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
  }
};

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
