// The window "拼音练习纸" under the offscreen platform: its choices, the preview that follows them,
// saving a PDF (and failing to), and the print dialog.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
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
    QCOMPARE(Find<QComboBox>("paper")->itemText(1), QStringLiteral("Letter"));
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
    Find<QComboBox>("layout")->setCurrentIndex(1);  // nine distinct characters, one row each
    QTRY_COMPARE(pages->text(), QStringLiteral("共 1 页"));

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
    QVERIFY2(message.startsWith(QStringLiteral("无法保存 ") + path), qPrintable(message));
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
