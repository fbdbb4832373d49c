// The main window under hostile input, offscreen: a paste of several megabytes, and text with
// surrogates and control characters. The output must be what the engine makes of the pasted
// text, and what the converter makes of it in a file, and the window must go on answering the
// user.
#include <QClipboard>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QtTest>

#include <memory>
#include <string>
#include <vector>

#include "CommandRunner.h"
#include "DesignFonts.h"
#include "MainWindow.h"
#include "UiTestSupport.h"

using namespace mibolan;
using namespace mibolan::ui;
using namespace mibolan::ui::testing;
using mibolan::testing_support::CommandResult;
using mibolan::testing_support::Convert;
using mibolan::testing_support::WriteTempFile;

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

// Texts of characters the rules look at and their neighbours, blanks of every kind, line breaks
// and separators, tabs and characters beyond the Basic Multilingual Plane, drawn at random with
// a fixed seed; the first is the case that once told the two apart.
QStringList RandomTexts(qsizetype count) {
  const QStringList pieces = {u"行"_qs, u"银"_qs, u"长"_qs,   u"成"_qs,     u"重"_qs,     u"庆"_qs,     u"乐"_qs,
                              u"音"_qs, u"为"_qs, u"人"_qs,   u"和"_qs,     u"暖"_qs,     u"少"_qs,     u"壮"_qs,
                              u"我"_qs, u"，"_qs, u" "_qs,    u"\u00A0"_qs, u"\u3000"_qs, u"\u2028"_qs, u"\u2029"_qs,
                              u"\t"_qs, u"\n"_qs, u"\r\n"_qs, u"\r"_qs,     u"𠀀"_qs,     u"😀"_qs,      u"a"_qs};
  QRandomGenerator random(20261207);
  QStringList texts = {u"行\u00A0行"_qs};
  while (texts.size() < count) {
    QString text;
    for (int length = random.bounded(1, 40); length > 0; --length) {
      text += pieces[random.bounded(pieces.size())];
    }
    texts << text;
  }
  return texts;
}

// The text with every unit outside printable ASCII written as \uXXXX, for failure messages.
QString Escaped(const QString& text) {
  QString escaped;
  for (const QChar unit : text) {
    escaped += unit.unicode() >= 0x20 && unit.unicode() < 0x7f ? QString(unit)
                                                               : u"\\u%1"_qs.arg(unit.unicode(), 4, 16, QChar(u'0'));
  }
  return escaped;
}

}  // namespace

class WindowHostileInputTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { MapDesignFonts(); }

  void init() {
    window_ = std::make_unique<MainWindow>(nullptr, RecordingOpener(calls_));
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
    QTest::newRow("reversed pair") << u"我"_qs + QChar(0xDC00) + QChar(0xD800) + u"人"_qs << "Option3";
    QTest::newRow("C0 controls") << u"\u0001我\u0007\t爱\u001b[31m人\u007f"_qs << "Option1";
    QTest::newRow("NUL") << u"我"_qs + QChar(0) + u"爱"_qs + QChar(0) << "Option3";
    QTest::newRow("line and paragraph separators") << u"我\u2028爱\u2029人\u0085行\r\r\n银行"_qs << "Option3";
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
    Paste(pasted);
    QVERIFY(input->document()->characterCount() > 1 || pasted.isEmpty());
    QTest::mouseClick(Find<QPushButton>(*window_, "Command1"), Qt::LeftButton);
    const Style style = option == u"Option1"_qs ? Style::Annotated : Style::Pinyin;
    const QString expected = Converted(pasted, style);
    const QString shown = output->toPlainText();
    QCOMPARE(shown.size(), expected.size());
    QVERIFY(shown == expected);
    AnswersTheUser();
  }

  void agreesWithTheConverter_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("style");
    QTest::newRow("rén") << "Option3"
                         << "pinyin";
    QTest::newRow("人(rén)") << "Option1"
                             << "annotated";
  }
  // The window converts what its box holds exactly as the converter converts the same text in a
  // file: no-break spaces stay what they are, whatever the box makes of line breaks.
  void agreesWithTheConverter() {
    QFETCH(QString, option);
    QFETCH(QString, style);
    const QStringList texts = RandomTexts(300);
    // One run for all texts; each file's output ends in one line break and holds none itself.
    std::vector<std::string> arguments = {"--style=" + style.toStdString()};
    for (qsizetype i = 0; i < texts.size(); ++i) {
      arguments.push_back(WriteTempFile("agreement-" + std::to_string(i) + ".txt", texts[i].toStdString()));
    }
    const CommandResult converted = Convert(arguments);
    QCOMPARE(converted.status, 0);
    const QStringList expected = QString::fromStdString(converted.out).split(u'\n');
    QCOMPARE(expected.size(), texts.size() + 1);
    QTest::mouseClick(Find<QRadioButton>(*window_, option.toLatin1().constData()), Qt::LeftButton);
    auto* output = Find<QPlainTextEdit>(*window_, "Text2");
    for (qsizetype i = 0; i < texts.size(); ++i) {
      Paste(texts[i]);
      QTest::mouseClick(Find<QPushButton>(*window_, "Command1"), Qt::LeftButton);
      QVERIFY2(output->toPlainText() == expected[i],
               qPrintable(u"\"%1\": the window gives \"%2\", the converter \"%3\""_qs.arg(
                   Escaped(texts[i]), output->toPlainText(), expected[i])));
    }
  }

 private:
  // The text replaces the input box's, through the clipboard, as the user pastes it.
  void Paste(const QString& text) {
    auto* input = Find<QPlainTextEdit>(*window_, "Text1");
    QGuiApplication::clipboard()->setText(text);
    input->setFocus();
    input->selectAll();
    QTest::keyClick(input, Qt::Key_V, Qt::ControlModifier);
  }

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

  std::vector<QString> calls_;
  std::unique_ptr<MainWindow> window_;
};

QTEST_MAIN(WindowHostileInputTest)
#include "WindowHostileInputTest.moc"
