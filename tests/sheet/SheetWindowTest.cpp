// The window "拼音练习纸" under the offscreen platform: its choices, the preview that follows them
// and turns its pages, a teacher's corrections, saving a PDF (and failing to), and the print dialog.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

#include "CommandRunner.h"
#include "PagePreview.h"
#include "SheetOutput.h"
#include "SheetWindow.h"
#include "TextPieces.h"

using namespace mibolan::sheet;

namespace {

// Runs `act` on the next modal window once it shows, then closes it; false when none showed. Its
// polls end with it: they are timed on a context object of its own.
class ModalCatcher {
 public:
  explicit ModalCatcher(std::function<void(QWidget&)> act) : act_(std::move(act)) {
    QTimer::singleShot(0, &context_, [this] { Poll(); });
  }
  bool Caught() const { return caught_; }

 private:
  void Poll() {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      caught_ = true;
      act_(*modal);
      if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
      return;
    }
    if (++polls_ < 500) QTimer::singleShot(10, &context_, [this] { Poll(); });
  }

  QObject context_;
  std::function<void(QWidget&)> act_;
  bool caught_ = false;
  int polls_ = 0;
};

// Runs `act` on the next popup menu once it shows, then closes it.
class PopupCatcher {
 public:
  explicit PopupCatcher(std::function<void(QMenu&)> act) : act_(std::move(act)) {
    QTimer::singleShot(0, &context_, [this] { Poll(); });
  }
  bool Caught() const { return caught_; }

 private:
  void Poll() {
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
      caught_ = true;
      act_(*menu);
      menu->close();
      return;
    }
    if (++polls_ < 500) QTimer::singleShot(10, &context_, [this] { Poll(); });
  }

  QObject context_;
  std::function<void(QMenu&)> act_;
  bool caught_ = false;
  int polls_ = 0;
};

QString TextLayer(const QString& pdf) {
  const auto result = mibolan::testing_support::RunCommand(PDFTOTEXT, {pdf.toStdString(), "-"});
  return QString::fromStdString(result.out).remove(QRegularExpression(QStringLiteral("\\s")));
}

}  // namespace

class SheetWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    window_ = std::make_unique<SheetWindow>();
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  }
  void cleanup() { window_.reset(); }

  void choicesAsOffered() {
    QCOMPARE(window_->windowTitle(), QStringLiteral("拼音练习纸"));
    QVERIFY(window_->windowIcon().availableSizes().contains(QSize(256, 256)));
    auto* squares = Find<QSpinBox>("squares");
    QCOMPARE(squares->minimum(), 8);
    QCOMPARE(squares->maximum(), 16);
    QCOMPARE(Find<QComboBox>("layout")->count(), 3);
    QCOMPARE(Find<QComboBox>("paper")->itemText(0), QStringLiteral("A4"));
    QCOMPARE(Find<QComboBox>("paper")->itemText(1), QStringLiteral("信纸 (Letter)"));
    QCOMPARE(Find<QPushButton>("print")->text(), QStringLiteral("打印…"));
    QCOMPARE(Find<QPushButton>("save")->text(), QStringLiteral("保存 PDF…"));
    // Textbooks read by word and print the tone changes of 一 and 不.
    QVERIFY(Find<QCheckBox>("byWord")->isChecked());
    QVERIFY(Find<QCheckBox>("toneSandhi")->isChecked());
  }

  void previewFollowsTheTextAndTheChoices() {
    auto* pages = Find<QLabel>("pageCount");
    QCOMPARE(pages->text(), QStringLiteral("共 1 页"));
    QString text;
    for (int line = 0; line < 40; ++line) text += QStringLiteral("春眠不觉晓处处闻啼鸟\n");
    QTest::keyClicks(Find<QPlainTextEdit>("input"), QStringLiteral("a"));  // typing is followed too
    window_->SetText(text);
    // Each paragraph wraps into two rows of ten squares, into one row of sixteen.
    QTRY_COMPARE(pages->text(), QStringLiteral("第 1 页，共 10 页"));
    Find<QSpinBox>("squares")->setValue(16);
    QTRY_COMPARE(pages->text(), QStringLiteral("第 1 页，共 4 页"));
    Find<QComboBox>("layout")->setCurrentIndex(1);  // nine distinct characters, a few rows each
    QTRY_COMPARE(pages->text(), QStringLiteral("第 1 页，共 2 页"));

    auto* preview = Find<PagePreview>("preview");
    const QRectF a4 = preview->PageRect();
    QCOMPARE(qRound(a4.height() / a4.width() * 1000), qRound(297.0 / 210 * 1000));
    Find<QComboBox>("paper")->setCurrentIndex(1);
    QTRY_COMPARE(qRound(preview->PageRect().height() / preview->PageRect().width() * 1000), qRound(11 / 8.5 * 1000));
    // The page is drawn: green lines and black characters on white.
    const QImage picture = preview->grab().toImage();
    int green = 0, black = 0;
    for (int y = 0; y < picture.height(); ++y) {
      for (int x = 0; x < picture.width(); ++x) {
        const QRgb p = picture.pixel(x, y);
        green += qGreen(p) > qRed(p) + 40 ? 1 : 0;
        black += qMax(qRed(p), qMax(qGreen(p), qBlue(p))) < 60 ? 1 : 0;
      }
    }
    QVERIFY2(green > 1000 && black > 100, qPrintable(QStringLiteral("%1 green, %2 black").arg(green).arg(black)));
  }

  void previewTurnsEveryPage() {
    QString text;
    for (int line = 0; line < 40; ++line) text += QStringLiteral("春眠不觉晓处处闻啼鸟\n");
    window_->SetText(text);
    auto* pages = Find<QLabel>("pageCount");
    QTRY_COMPARE(pages->text(), QStringLiteral("第 1 页，共 10 页"));
    auto* preview = Find<PagePreview>("preview");
    const QImage first = preview->grab().toImage();
    const struct {
      Qt::Key key;
      int page;
    } keys[] = {{Qt::Key_PageDown, 2}, {Qt::Key_PageDown, 3},  {Qt::Key_PageUp, 2},
                {Qt::Key_End, 10},     {Qt::Key_PageDown, 10}, {Qt::Key_Home, 1}};
    for (const auto& each : keys) {
      QTest::keyClick(preview, each.key);
      QCOMPARE(pages->text(), QStringLiteral("第 %1 页，共 10 页").arg(each.page));
    }
    // Two notches of the wheel towards the reader: two pages on.
    const QPointF middle = preview->rect().center();
    QWheelEvent wheel(middle, preview->mapToGlobal(middle), {}, QPoint(0, -240), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(preview, &wheel);
    QCOMPARE(pages->text(), QStringLiteral("第 3 页，共 10 页"));
    QTest::keyClick(preview, Qt::Key_End);
    QVERIFY(preview->grab().toImage() != first);  // the last page, half full
    // A shorter text keeps the page shown where it still is, else shows its last.
    window_->SetText(text.left(text.size() / 2));
    QTRY_COMPARE(pages->text(), QStringLiteral("第 5 页，共 5 页"));
  }

  void practiceCharactersAreChosenInTheirField() {
    auto* characters = Find<QLineEdit>("characters");
    auto* problem = Find<QLabel>("charactersProblem");
    QVERIFY(!characters->isEnabled());  // the reading sheet has every character
    Find<QComboBox>("layout")->setCurrentIndex(1);
    QVERIFY(characters->isEnabled());
    window_->SetText(QStringLiteral("一个不是"));
    const struct {
      QString typed;
      QString problem;  // its beginning; empty: none
    } cases[] = {{QStringLiteral("人a"), QStringLiteral("“a”不是汉字")},
                 {QStringLiteral("，。"), QStringLiteral("这里没有汉字")},
                 {QStringLiteral("人，不"), QString()}};
    for (const auto& each : cases) {
      characters->setText(each.typed);
      window_->UpdatePreview();
      QCOMPARE(problem->isVisibleTo(window_.get()), !each.problem.isEmpty());
      QVERIFY2(problem->text().startsWith(each.problem), qPrintable(problem->text()));
      QCOMPARE(Find<QPushButton>("save")->isEnabled(), each.problem.isEmpty());
    }
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("practice.pdf"));
    QVERIFY(window_->SavePdf(pdf));
    QCOMPARE(TextLayer(pdf), QStringLiteral("姓名：日期：rén人rénrénrén人人人bù不bùbùbù不不不1/1"));
    QCOMPARE(Find<QLabel>("status")->text(), QStringLiteral("已保存到 ") + pdf);
  }

  void aTeachersCorrectionStaysWithItsCharacterAndReachesThePdf() {
    window_->SetText(QStringLiteral("校长长大了"));
    window_->UpdatePreview();
    auto* preview = Find<PagePreview>("preview");
    QStringList offered;
    PopupCatcher catcher([&](QMenu& menu) {
      for (QAction* action : menu.actions()) {
        if (!action->text().isEmpty()) offered << action->text();
      }
      for (QAction* action : menu.actions()) {
        if (action->text() == QStringLiteral("cháng")) action->trigger();
      }
    });
    // The paragraph is indented by two squares: the first 长 is the fourth square.
    QTest::mouseClick(preview, Qt::LeftButton, {}, preview->StaffCentre(0, 3).toPoint());
    QVERIFY(catcher.Caught());
    QVERIFY2(offered.contains(QStringLiteral("zhǎng")) && offered.contains(QStringLiteral("输入读音…")),
             qPrintable(offered.join(u' ')));
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("corrected.pdf"));
    QVERIFY(window_->SavePdf(pdf));
    QCOMPARE(TextLayer(pdf), QStringLiteral("xiàochángzhǎngdàle校长长大了1/1"));

    // What is not a syllable changes nothing.
    QString warning;
    ModalCatcher warned([&](QWidget& box) {
      if (auto* shown = qobject_cast<QMessageBox*>(&box)) warning = shown->text();
    });
    QVERIFY(!window_->CorrectReading(2, QStringLiteral("zhangg")));
    QVERIFY(warned.Caught());
    QVERIFY2(warning.startsWith(QStringLiteral("“zhangg”不是一个拼音音节")), qPrintable(warning));
    // A correction typed with a digit; an edit before the corrected characters moves them along.
    QVERIFY(window_->CorrectReading(2, QStringLiteral("chang2")));
    QTextCursor start(Find<QPlainTextEdit>("input")->document());
    start.insertText(QStringLiteral("新"));
    QVERIFY(window_->SavePdf(pdf));
    QCOMPARE(TextLayer(pdf), QStringLiteral("xīnxiàochángchángdàle新校长长大了1/1"));
    // A new text keeps none.
    window_->SetText(QStringLiteral("校长长大了"));
    QVERIFY(window_->SavePdf(pdf));
    QCOMPARE(TextLayer(pdf), QStringLiteral("xiàozhǎngzhǎngdàle校长长大了1/1"));
  }

  void readingChoicesReachTheSavedSheet() {
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("sheet.pdf"));
    window_->SetText(QStringLiteral("一个不是"));
    QVERIFY(window_->SavePdf(pdf));
    QCOMPARE(TextLayer(pdf), QStringLiteral("yígèbúshì一个不是1/1"));
    Find<QCheckBox>("toneSandhi")->setChecked(false);
    QVERIFY(window_->SavePdf(pdf));
    QCOMPARE(TextLayer(pdf), QStringLiteral("yīgèbùshì一个不是1/1"));
    window_->SetText(QStringLiteral("校长"));
    QVERIFY(window_->SavePdf(pdf));
    QCOMPARE(TextLayer(pdf), QStringLiteral("xiàozhǎng校长1/1"));
    Find<QCheckBox>("byWord")->setChecked(false);
    QVERIFY(window_->SavePdf(pdf));
    QVERIFY(TextLayer(pdf) != QStringLiteral("xiàozhǎng校长1/1"));
  }

  void aFailedSaveSaysWhy() {
    QTemporaryDir folder;
    QString message;
    ModalCatcher catcher([&](QWidget& box) {
      if (auto* shown = qobject_cast<QMessageBox*>(&box)) message = shown->text();
    });
    const QString path = folder.filePath(QStringLiteral("missing/sheet.pdf"));
    QVERIFY(!window_->SavePdf(path));
    QVERIFY(catcher.Caught());
    QVERIFY2(message.startsWith(QStringLiteral("无法保存 ") + path + QStringLiteral("：文件夹 ")), qPrintable(message));
    QVERIFY2(message.endsWith(QStringLiteral("不存在")), qPrintable(message));
    QCOMPARE(Find<QLabel>("status")->text(), QStringLiteral("没有保存：") + message.mid(message.indexOf(u'：') + 1));
  }

  void printingFollowsThePrintersPaperAndResolution() {
    // A printer at its own resolution, with paper other than the sheet's: the lines fill the
    // paper's width between the margins, as on the sheet's own paper.
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("printed.pdf"));
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::A5));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setFullPage(true);
    StringText text(QStringLiteral("我爱人"));
    QVERIFY(PaintSheet(printer, text, SheetOptions{}));
    QCOMPARE(TextLayer(pdf), QStringLiteral("wǒàiren我爱人1/1"));
    const auto drawn =
        mibolan::testing_support::RunCommand(PDFTOPPM, {"-r", "50", "-png", "-singlefile", pdf.toStdString(),
                                                        folder.filePath(QStringLiteral("printed")).toStdString()});
    QCOMPARE(drawn.status, 0);
    const QImage page(folder.filePath(QStringLiteral("printed.png")));
    QVERIFY(qAbs(page.width() - 210 / 25.4 * 50) <= 1);  // A5 on its side
    int left = page.width(), right = -1;
    for (int y = 0; y < page.height(); ++y) {
      for (int x = 0; x < page.width(); ++x) {
        const QRgb p = page.pixel(x, y);
        if (qGreen(p) > qRed(p) + 20) left = qMin(left, x), right = qMax(right, x);
      }
    }
    const double margin = 15 / 25.4 * 50;
    QVERIFY2(qAbs(left - margin) <= 2 && qAbs(page.width() - 1 - right - margin) <= 2,
             qPrintable(QStringLiteral("lines from x %1 to %2 of %3").arg(left).arg(right).arg(page.width())));
  }

  void aLongSheetIsMadeOnlyWhenWanted() {
    QString text;
    for (int line = 0; line < 1000; ++line) text += QStringLiteral("春眠不觉晓处处闻啼鸟\n");
    window_->SetText(text);
    QTRY_COMPARE(Find<QLabel>("pageCount")->text(), QStringLiteral("第 1 页，共 200 多页"));
    QString question;
    ModalCatcher asked([&](QWidget& box) {
      if (auto* shown = qobject_cast<QMessageBox*>(&box)) question = shown->text();
    });
    ModalCatcher chooser([](QWidget&) {});  // a file dialog, were one to open after the answer "no"
    Find<QPushButton>("save")->click();
    QVERIFY(asked.Caught());
    QVERIFY2(question.contains(QStringLiteral("超过 200 页")), qPrintable(question));
    QVERIFY(!chooser.Caught());
  }

  void aTextGoneThroughOnceHasPageNumbersWithoutTheCount() {
    // A stream too long to be read twice: its pages are painted as they come.
    class Once : public TextSource {
     public:
      bool Rewindable() override { return false; }
      bool Walk(const PieceCutter::Take& take) override { return text_.Walk(take); }

     private:
      StringText text_{QStringLiteral("我爱人")};
    } text;
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("once.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setFullPage(true);
    QVERIFY(PaintSheet(printer, text, SheetOptions{}));
    QCOMPARE(TextLayer(pdf), QStringLiteral("wǒàiren我爱人1"));
  }

  void printOpensTheSystemsPrintDialog() {
    QString title;
    ModalCatcher catcher([&](QWidget& dialog) {
      if (qobject_cast<QPrintDialog*>(&dialog) != nullptr) title = dialog.windowTitle();
    });
    Find<QPushButton>("print")->click();
    QVERIFY(catcher.Caught());
    QCOMPARE(title, QStringLiteral("打印"));
  }

 private:
  template <class Widget>
  Widget* Find(const char* name) {
    auto* widget = window_->findChild<Widget*>(QString::fromLatin1(name));
    if (widget == nullptr) qFatal("no %s", name);
    return widget;
  }

  std::unique_ptr<SheetWindow> window_;
};

QTEST_MAIN(SheetWindowTest)
#include "SheetWindowTest.moc"
