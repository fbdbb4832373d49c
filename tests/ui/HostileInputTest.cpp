// The main window under hostile input, offscreen: a paste of several megabytes, and text with
// surrogates and control characters. The output must be what the engine makes of the pasted
// text, and the window must go on answering the user.
#include <QClipboard>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <memory>

#include "DesignFonts.h"
#include "Form1.h"
#include "UiTestSupport.h"

using namespace mibolan;
using namespace mibolan::ui;
using namespace mibolan::ui::testing;

namespace {

// About `units` UTF-16 units of ordinary Chinese prose with Latin words, digits, punctuation and
// line breaks, the mixture a user pastes from a web page.
QString LargeMixedText(qsizetype units) {
  const QString paragraph =
      u"银行的行长说，重庆今天很暖和。Mibolan 5.0 把每个汉字都注上拼音：我爱人，"
      u"长城很长；音乐让人快乐！abc 123 ¥45.6 「引号」\r\n"_qs;
  QString text;
  text.reserve(units + paragraph.size());
  while (text.size() < units) text += paragraph;
  return text;
}

}  // namespace

class HostileInputTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { MapDesignFonts(); }

  void init() {
    window_ = std::make_unique<Form1>(nullptr, RecordingOpener(calls_));
    window_->setAttribute(Qt::WA_DeleteOnClose, false);
    window_->showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  }

  void cleanup() {
    window_.reset();
    FlushDeletions();
  }

  void pasteConvertsExactly_data() {
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("option");
    QTest::newRow("4 MB, rén") << LargeMixedText(2 * 1024 * 1024) << "Option3";
    QTest::newRow("4 MB, 人(rén)") << LargeMixedText(2 * 1024 * 1024) << "Option1";
    QTest::newRow("lone high surrogate") << u"我"_qs + QChar(0xD800) + u"爱人"_qs << "Option3";
    QTest::newRow("lone low surrogate") << QChar(0xDC00) + u"我爱"_qs + QChar(0xDFFF) << "Option1";
    QTest::newRow("surrogate pairs") << u"𠀀我😀爱𪚥人"_qs << "Option3";
    QTest::newRow("reversed pair") << u"我"_qs + QChar(0xDC00) + QChar(0xD800) + u"人"_qs
                                   << "Option3";
    QTest::newRow("C0 controls") << u"\u0001我\u0007\t爱\u001b[31m人\u007f"_qs << "Option1";
    QTest::newRow("NUL") << u"我"_qs + QChar(0) + u"爱"_qs + QChar(0) << "Option3";
    QTest::newRow("line and paragraph separators")
        << u"我\u2028爱\u2029人\u0085行\r\r\n银行"_qs << "Option3";
    QTest::newRow("BOM and zero-width") << u"\uFEFF我\u200B爱\u200D人\uFFFE\uFFFF"_qs << "Option1";
    QTest::newRow("bidi controls") << u"\u202E我爱\u202C人\u2066行\u2069"_qs << "Option3";
    QTest::newRow("nothing Chinese") << u"\u0001\u0002 abc "_qs + QChar(0xD83D) << "Option3";
  }

  // Pasting through the clipboard and pressing the button gives exactly the engine's output.
  void pasteConvertsExactly() {
    QFETCH(QString, pasted);
    QFETCH(QString, option);
    auto* input = Find<QPlainTextEdit>(*window_, "Text1");
    auto* output = Find<QPlainTextEdit>(*window_, "Text2");
    QTest::mouseClick(Find<QRadioButton>(*window_, option.toLatin1().constData()), Qt::LeftButton);
    QGuiApplication::clipboard()->setText(pasted);
    input->setFocus();
    input->selectAll();
    QTest::keyClick(input, Qt::Key_V, Qt::ControlModifier);
    QVERIFY(input->document()->characterCount() > 1 || pasted.isEmpty());
    QTest::mouseClick(Find<QPushButton>(*window_, "Command1"), Qt::LeftButton);
    const Style style = option == u"Option1"_qs ? Style::Annotated : Style::Pinyin;
    const QString expected = Converted(pasted, style);
    const QString shown = output->toPlainText();
    QCOMPARE(shown.size(), expected.size());
    QVERIFY(shown == expected);
    AnswersTheUser();
  }

 private:
  // After the conversion the window still takes clicks and keys and converts again.
  void AnswersTheUser() {
    auto* option1 = Find<QRadioButton>(*window_, "Option1");
    auto* option3 = Find<QRadioButton>(*window_, "Option3");
    QTest::mouseClick(option1->isChecked() ? option3 : option1, Qt::LeftButton);
    QCOMPARE(option1->isChecked(), !option3->isChecked());
    auto* input = Find<QPlainTextEdit>(*window_, "Text1");
    input->setFocus();
    input->selectAll();
    QTest::keyClick(input, Qt::Key_Delete);
    QVERIFY(input->toPlainText().isEmpty());
    QInputMethodEvent typed;
    typed.setCommitString(u"人"_qs);
    QApplication::sendEvent(input, &typed);
    QTest::mouseClick(option3, Qt::LeftButton);
    QTest::mouseClick(Find<QPushButton>(*window_, "Command1"), Qt::LeftButton);
    QCOMPARE(Find<QPlainTextEdit>(*window_, "Text2")->toPlainText(), u"rén "_qs);
  }

  std::vector<OpenerCall> calls_;
  std::unique_ptr<Form1> window_;
};

QTEST_MAIN(HostileInputTest)
#include "HostileInputTest.moc"
