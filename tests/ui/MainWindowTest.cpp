// The main window under the offscreen platform: its controls as designed, the option group, the
// conversion, the resize rule and the clicks that open web pages.
#include <QContextMenuEvent>
#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTranslator>
#include <QWindow>
#include <QtTest>

#include <memory>

#include "DesignFonts.h"
#include "MainWindow.h"
#include "Translations.h"
#include "UiTestSupport.h"

using namespace mibolan;
using namespace mibolan::ui;
using namespace mibolan::ui::testing;

namespace {

const QString kWelcomeText = u"欢迎访问Kavodi！在这个文本框里输入要产生拼音的文字！\r\n"_qs;

// Pixels of a twips rectangle, as the designed layout asks for.
QRect Pixels(int left, int top, int width, int height) {
  return QRect(qRound(left / 15.0), qRound(top / 15.0), qRound(width / 15.0), qRound(height / 15.0));
}

// Chinese is typed through an input method, which commits whole strings.
void TypeWithInputMethod(QWidget& box, const QString& text) {
  QInputMethodEvent event;
  event.setCommitString(text);
  QApplication::sendEvent(&box, &event);
}

// The window's outer size in twips, frame included.
QSizeF OuterTwips(const QWidget& window) { return QSizeF(window.frameGeometry().size()) * 15.0; }

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { MapDesignFonts(); }

  void init() {
    calls_.clear();
    window_ = std::make_unique<MainWindow>(nullptr, RecordingOpener(calls_));
    window_->setAttribute(Qt::WA_DeleteOnClose, false);
  }

  void cleanup() {
    window_.reset();
    FlushDeletions();
  }

  void controlsAsDesigned_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("family");
    QTest::addColumn<double>("pointSize");
    QTest::addColumn<QColor>("colour");
    const QColor system;  // invalid: the system's text colour
    QTest::newRow("Command1") << "Command1" << Pixels(2760, 120, 1575, 615) << u"生成拼音"_qs << u"宋体"_qs << 9.0
                              << system;
    QTest::newRow("Option3") << "Option3" << Pixels(4440, 240, 855, 375) << u"rén"_qs << u"宋体"_qs << 9.0 << system;
    QTest::newRow("Option1") << "Option1" << Pixels(5280, 240, 975, 375) << u"人(rén)"_qs << u"宋体"_qs << 9.0
                             << system;
    QTest::newRow("Label1") << "Label1" << Pixels(120, 480, 1935, 375) << u"文字框:"_qs << u"宋体"_qs << 9.0 << system;
    QTest::newRow("Text1") << "Text1" << Pixels(0, 885, 10575, 1695) << kWelcomeText << u"宋体"_qs << 14.25 << system;
    QTest::newRow("Label2") << "Label2" << Pixels(120, 2760, 1935, 255) << u"拼音框:"_qs << u"宋体"_qs << 9.0 << system;
    QTest::newRow("Label3") << "Label3" << Pixels(1200, 2760, 11295, 255)
                            << u"欢迎下载Kavodi的笔顺小画板，识字卡片屋，口算练习本，古诗朗读机。"_qs << u"宋体"_qs
                            << 9.0 << QColor(255, 0, 0);
    QTest::newRow("Text2") << "Text2" << Pixels(0, 3120, 10575, 4935) << QString() << u"宋体"_qs << 26.25 << system;
  }

  // Loaded but not yet shown, every control stands as designed.
  void controlsAsDesigned() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QFETCH(QString, family);
    QFETCH(double, pointSize);
    QFETCH(QColor, colour);
    auto* control = Find<QWidget>(*window_, name.toLatin1().constData());
    QCOMPARE(control->geometry(), geometry);
    QCOMPARE(control->font().family(), family);
    QCOMPARE(control->font().pointSizeF(), pointSize);
    if (auto* box = qobject_cast<QPlainTextEdit*>(control)) {
      // The box holds line breaks as paragraphs; the text reads back with "\n".
      QCOMPARE(box->toPlainText(), QString(text).replace(u"\r\n"_qs, u"\n"_qs));
      QCOMPARE(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
      QCOMPARE(box->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
      QCOMPARE(box->lineWrapMode(), QPlainTextEdit::WidgetWidth);
      QVERIFY(!box->isReadOnly());
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
      QCOMPARE(label->text(), text);
      QCOMPARE(label->alignment(), Qt::AlignLeft | Qt::AlignTop);
    } else {
      QCOMPARE(qobject_cast<QAbstractButton*>(control)->text(), text);
    }
    if (colour.isValid()) QCOMPARE(control->palette().color(QPalette::WindowText), colour);
  }

  void windowAsDesigned() {
    QCOMPARE(window_->objectName(), u"Form1"_qs);
    QCOMPARE(window_->windowTitle(), u"Mibolan5.0版"_qs);
    QCOMPARE(window_->size(), QSize(714, 534));
    const QList<QSize> iconSizes = window_->windowIcon().availableSizes();
    QVERIFY(iconSizes.contains(QSize(16, 16)));
    QVERIFY(iconSizes.contains(QSize(32, 32)));
    const Qt::WindowFlags flags = window_->windowFlags();
    QVERIFY(!(flags & Qt::FramelessWindowHint));
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Window);
  }

  // The designed faces are mapped to installed Simplified Chinese ones, not a Japanese face.
  void fontsRenderSimplifiedChinese_data() {
    QTest::addColumn<QString>("family");
    QTest::newRow("宋体") << u"宋体"_qs;
    QTest::newRow("黑体") << u"黑体"_qs;
  }
  void fontsRenderSimplifiedChinese() {
    QFETCH(QString, family);
    const QFontInfo shown(QFont(family, 12));
    QVERIFY2(shown.family().contains(u"SC"_qs) || shown.family().contains(u"CN"_qs) ||
                 shown.family().contains(u"Zen Hei"_qs),
             qPrintable(shown.family()));
    const QFontMetrics metrics{QFont(family, 12)};
    for (const QChar c : u"拼音生成ǖǘǚǜāáǎàēéěèīíǐìōóǒòūúǔù"_qs) {
      QVERIFY2(metrics.inFont(c), qPrintable(QString(c)));
    }
  }

  // The pictures keep their own size: the control is exactly the picture.
  void picturesAtTheirOwnSize_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("Image1") << "Image1" << QRect(528, 0, 476, 60);
    QTest::newRow("Image2") << "Image2" << QRect(792, 176, 220, 29);
  }
  void picturesAtTheirOwnSize() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    auto* picture = Find<QLabel>(*window_, name.toLatin1().constData());
    QCOMPARE(picture->geometry(), geometry);
    QCOMPARE(picture->pixmap().size(), geometry.size());
    QVERIFY(!picture->hasScaledContents());
  }

  void opensWithOption3AndFocusInText1() {
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    QVERIFY(Find<QRadioButton>(*window_, "Option3")->isChecked());
    QVERIFY(!Find<QRadioButton>(*window_, "Option1")->isChecked());
    QCOMPARE(QApplication::focusWidget(), Find<QWidget>(*window_, "Text1"));
    QVERIFY(Find<QPlainTextEdit>(*window_, "Text2")->toPlainText().isEmpty());
  }

  // The keyboard visits Text1, Command1, Text2 and the option group, and nothing else.
  void focusOrder() {
    QStringList order;
    QWidget* widget = Find<QWidget>(*window_, "Text1");
    do {
      if ((widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled() && widget != window_.get()) {
        order << widget->objectName();
      }
      widget = widget->nextInFocusChain();
    } while (widget != Find<QWidget>(*window_, "Text1"));
    QCOMPARE(order, (QStringList{"Text1", "Command1", "Text2", "Option1", "Option3"}));
  }

  // Tab and Shift+Tab leave the boxes for the next control of the focus order; they type nothing.
  void tabMovesTheFocus() {
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    const QString input = Find<QPlainTextEdit>(*window_, "Text1")->toPlainText();
    const QList<std::pair<Qt::KeyboardModifiers, const char*>> moves = {
        {Qt::NoModifier, "Command1"}, {Qt::NoModifier, "Text2"},       {Qt::NoModifier, "Option1"},
        {Qt::ShiftModifier, "Text2"}, {Qt::ShiftModifier, "Command1"}, {Qt::ShiftModifier, "Text1"}};
    for (const auto& [modifiers, next] : moves) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
      QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(next));
    }
    QCOMPARE(Find<QPlainTextEdit>(*window_, "Text1")->toPlainText(), input);
    QVERIFY(Find<QPlainTextEdit>(*window_, "Text2")->toPlainText().isEmpty());
  }

  void keysPressTheFocusedButton_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Return") << static_cast<int>(Qt::Key_Return) << static_cast<int>(Qt::NoModifier);
    QTest::newRow("keypad Enter") << static_cast<int>(Qt::Key_Enter) << static_cast<int>(Qt::KeypadModifier);
    QTest::newRow("Space") << static_cast<int>(Qt::Key_Space) << static_cast<int>(Qt::NoModifier);
  }
  void keysPressTheFocusedButton() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    auto* button = Find<QPushButton>(*window_, "Command1");
    int clicks = 0;
    connect(button, &QPushButton::clicked, this, [&clicks] { ++clicks; });
    button->setFocus();
    QTest::keyClick(button, static_cast<Qt::Key>(key), static_cast<Qt::KeyboardModifiers>(modifiers));
    QCOMPARE(clicks, 1);
    QCOMPARE(Find<QPlainTextEdit>(*window_, "Text2")->toPlainText(), Converted(kWelcomeText, Style::Pinyin));
  }

  // Shown in the normal state, the window's outer frame, not its client area, is centred.
  void normalWindowCentredByItsFrame() {
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    const QRect available = window_->screen()->availableGeometry();
    QWindow* handle = window_->windowHandle();
    QVERIFY(handle->frameGeometry().size() != window_->size());
    QTRY_VERIFY2((handle->frameGeometry().center() - available.center()).manhattanLength() <= 1,
                 qPrintable(u"frame %1,%2 %3x%4"_qs.arg(handle->frameGeometry().x())
                                .arg(handle->frameGeometry().y())
                                .arg(handle->frameGeometry().width())
                                .arg(handle->frameGeometry().height())));
  }

  // The boxes' menus speak the user's language, and Simplified Chinese where Qt has no
  // translation for it.
  void contextMenuInTheUsersLanguage_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("start");
    QTest::newRow("C") << u"C"_qs << QStringList{u"撤消(&U)"_qs, u"重做(&R)"_qs};
    QTest::newRow("de_DE") << u"de_DE"_qs << QStringList{u"&Rückgängig"_qs, u"Wieder&herstellen"_qs};
  }
  void contextMenuInTheUsersLanguage() {
    QFETCH(QString, locale);
    QFETCH(QStringList, start);
    InstallToolkitTranslations(QLocale(locale));
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    auto* box = Find<QPlainTextEdit>(*window_, "Text1")->viewport();
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), box->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(box, &event);
    qDeleteAll(QCoreApplication::instance()->findChildren<QTranslator*>());
    QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QStringList shown;
    for (const QAction* action : menu->actions()) shown << action->text().section(u'\t', 0, 0);
    menu->close();
    QCOMPARE(shown.mid(0, start.size()), start);
  }

  // Exactly one option is selected after every click.
  void optionGroupIsExclusive() {
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    auto* option1 = Find<QRadioButton>(*window_, "Option1");
    auto* option3 = Find<QRadioButton>(*window_, "Option3");
    const QList<std::pair<QRadioButton*, QRadioButton*>> clicks = {
        {option1, option1}, {option1, option1}, {option3, option3}, {option3, option3}, {option1, option1}};
    for (const auto& [clicked, selected] : clicks) {
      QTest::mouseClick(clicked, Qt::LeftButton);
      QCOMPARE(option1->isChecked(), selected == option1);
      QCOMPARE(option3->isChecked(), selected == option3);
    }
  }

  void convertsTheWelcomeTextAtOnce_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("style");
    QTest::newRow("rén") << "Option3" << u"huān yíng fǎng wèn zài zhè "_qs << static_cast<int>(Style::Pinyin);
    QTest::newRow("人(rén)") << "Option1" << u"欢(huān)迎(yíng)访(fǎng)问(wèn)在(zài)"_qs
                             << static_cast<int>(Style::Annotated);
  }
  void convertsTheWelcomeTextAtOnce() {
    QFETCH(QString, option);
    QFETCH(QString, start);
    QFETCH(int, style);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    QTest::mouseClick(Find<QRadioButton>(*window_, option.toLatin1().constData()), Qt::LeftButton);
    QTest::mouseClick(Find<QPushButton>(*window_, "Command1"), Qt::LeftButton);
    const QString output = Find<QPlainTextEdit>(*window_, "Text2")->toPlainText();
    QVERIFY2(output.startsWith(start), qPrintable(output));
    QCOMPARE(output, Converted(kWelcomeText, static_cast<Style>(style)));
  }

  // Each press replaces the whole output, including what the user typed into it.
  void outputIsReplacedNotExtended() {
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    auto* input = Find<QPlainTextEdit>(*window_, "Text1");
    auto* output = Find<QPlainTextEdit>(*window_, "Text2");
    auto* button = Find<QPushButton>(*window_, "Command1");
    output->setFocus();
    QTest::keyClicks(output, u"typed by the user"_qs);
    input->selectAll();
    TypeWithInputMethod(*input, u"我爱人"_qs);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(output->toPlainText(), u"wǒ ài rén "_qs);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(output->toPlainText(), u"wǒ ài rén "_qs);
    QTest::mouseClick(Find<QRadioButton>(*window_, "Option1"), Qt::LeftButton);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(output->toPlainText(), u"我(wǒ)爱(ài)人(rén)"_qs);
    input->setPlainText(u"no Chinese here, 123"_qs);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(output->toPlainText(), QString());
    QCOMPARE(input->toPlainText(), u"no Chinese here, 123"_qs);
  }

  // The new output stands as a fresh text does: the view at its top, the cursor at its start,
  // nothing to undo but what the user types into it afterwards.
  void outputStandsAsAFreshText() {
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    auto* input = Find<QPlainTextEdit>(*window_, "Text1");
    auto* output = Find<QPlainTextEdit>(*window_, "Text2");
    auto* button = Find<QPushButton>(*window_, "Command1");
    input->setPlainText(QString(u"银行里三百六十行。"_qs).repeated(2000));
    QTest::mouseClick(button, Qt::LeftButton);
    output->setFocus();
    QTest::keyClick(output, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(output, u"typed"_qs);
    QVERIFY(output->verticalScrollBar()->value() > 0);
    QTest::mouseClick(button, Qt::LeftButton);
    const QString converted = Converted(input->toPlainText(), Style::Pinyin);
    QCOMPARE(output->toPlainText(), converted);
    QCOMPARE(output->textCursor().position(), 0);
    QCOMPARE(output->verticalScrollBar()->value(), 0);
    QVERIFY(!output->document()->isModified());
    output->setFocus();
    QTest::keyClick(output, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(output->toPlainText(), converted);
    QTest::keyClicks(output, u"ab"_qs);
    QTest::keyClick(output, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(output->toPlainText(), converted);
  }

  // Outer sizes in pixels, frame included; the rule works in twips (15 to a pixel).
  void resizeRule_data() {
    QTest::addColumn<QSize>("clientSize");
    QTest::newRow("designed size") << QSize(714, 534);
    QTest::newRow("wide and tall") << QSize(1000, 700);
    QTest::newRow("narrower than the pictures") << QSize(300, 400);
    QTest::newRow("odd sizes") << QSize(641, 377);
  }
  void resizeRule() {
    QFETCH(QSize, clientSize);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    window_->resize(clientSize);
    QTRY_COMPARE(window_->size(), clientSize);
    const QSizeF outer = OuterTwips(*window_);
    auto* text1 = Find<QPlainTextEdit>(*window_, "Text1");
    auto* text2 = Find<QPlainTextEdit>(*window_, "Text2");
    const int width = qRound(static_cast<float>(0.99 * outer.width()) / 15.0);
    QCOMPARE(text1->geometry(), QRect(0, 59, width, 113));
    QCOMPARE(text2->geometry(), QRect(0, 208, width, qRound(static_cast<float>(0.95 * outer.height() - 3120) / 15.0)));
    // Nothing else moves or changes size.
    QCOMPARE(Find<QWidget>(*window_, "Image1")->geometry(), QRect(528, 0, 476, 60));
    QCOMPARE(Find<QWidget>(*window_, "Image2")->geometry(), QRect(792, 176, 220, 29));
    QCOMPARE(Find<QWidget>(*window_, "Command1")->geometry(), Pixels(2760, 120, 1575, 615));
    QCOMPARE(Find<QWidget>(*window_, "Label3")->geometry(), Pixels(1200, 2760, 11295, 255));
  }

  // Too low for Text2: its height stays, the widths still follow; a taller window puts it right.
  void windowTooLowForText2() {
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    auto* text1 = Find<QPlainTextEdit>(*window_, "Text1");
    auto* text2 = Find<QPlainTextEdit>(*window_, "Text2");
    window_->resize(600, 400);
    QTRY_COMPARE(window_->size(), QSize(600, 400));
    const int heightBefore = text2->height();
    window_->resize(500, 150);
    QTRY_COMPARE(window_->size(), QSize(500, 150));
    QVERIFY(OuterTwips(*window_).height() * 0.95 < 3120);
    QCOMPARE(text2->height(), heightBefore);
    const int width = qRound(0.99 * window_->frameGeometry().width());
    QVERIFY(qAbs(text1->width() - width) <= 1);
    QCOMPARE(text2->width(), text1->width());
    window_->resize(700, 500);
    QTRY_COMPARE(window_->size(), QSize(700, 500));
    QVERIFY(qAbs(text2->geometry().bottom() + 1 - qRound(0.95 * window_->frameGeometry().height())) <= 1);
  }

  // The maximized window: both boxes 0.99 of the outer width, Text2 down to 0.95 of its height.
  void maximizedWindowStretchesTheBoxes() {
    window_->showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    QTRY_VERIFY(window_->windowState() & Qt::WindowMaximized);
    QTRY_COMPARE(window_->frameGeometry().size(), window_->screen()->availableGeometry().size());
    const QSize outer = window_->frameGeometry().size();
    auto* text2 = Find<QPlainTextEdit>(*window_, "Text2");
    QVERIFY(qAbs(Find<QWidget>(*window_, "Text1")->width() - qRound(0.99 * outer.width())) <= 1);
    QVERIFY(qAbs(text2->width() - qRound(0.99 * outer.width())) <= 1);
    QVERIFY(qAbs(text2->geometry().bottom() + 1 - qRound(0.95 * outer.height())) <= 1);
  }

  void clicksOpenTheirPages_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("address");
    QTest::newRow("Image1") << "Image1" << u"https://www.example.com/"_qs;
    QTest::newRow("Label3") << "Label3" << u"https://www.example.com/"_qs;
    QTest::newRow("Image2") << "Image2" << u"https://www.example.org/"_qs;
  }
  // Every click is one call with the page's address.
  void clicksOpenTheirPages() {
    QFETCH(QString, name);
    QFETCH(QString, address);
    window_->showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    auto* control = Find<QWidget>(*window_, name.toLatin1().constData());
    for (int click = 0; click < 3; ++click) QTest::mouseClick(control, Qt::LeftButton);
    QCOMPARE(calls_.size(), 3U);
    for (const QString& opened : calls_) QCOMPARE(opened, address);
    // A press that ends outside the control is no click.
    QTest::mousePress(control, Qt::LeftButton);
    QTest::mouseRelease(control, Qt::LeftButton, {}, QPoint(-5, -5));
    QCOMPARE(calls_.size(), 3U);
  }

  // The two makers' pages differ, and the other controls open nothing.
  void otherClicksOpenNothing() {
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    for (const char* name : {"Label1", "Label2", "Text1", "Option1"}) {
      QTest::mouseClick(Find<QWidget>(*window_, name), Qt::LeftButton);
    }
    QCOMPARE(calls_.size(), 0U);
  }

 private:
  std::vector<QString> calls_;
  std::unique_ptr<MainWindow> window_;
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
