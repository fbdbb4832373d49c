// The reading sheet on a long text: how long a PDF of about a hundred pages takes to write, and
// how long the window's preview takes to follow a new text and a one-character edit of it.
// Not a test: bench/README.md says how to run it.
// Usage: sheet_benchmark [PAGES] [RUNS]   (default: 100 pages, 5 runs; the median is printed)
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "PageGeometry.h"
#include "PagePreview.h"
#include "SheetLayout.h"
#include "SheetOutput.h"
#include "SheetWindow.h"
#include "TextPieces.h"

using namespace mibolan::sheet;

namespace {

// Everyday characters in paragraphs of 20 to 60 with their punctuation, always the same.
QString Paragraph(std::uint32_t& seed) {
  static const QString kCharacters = QStringLiteral(
      "的一是不了人我在有他这中大来上国个到说们为子和你地出道也时年得就那要下以生会自着去之过家学对可她里后"
      "小么心多天而能好都然没日于起还发成事只作当想看文无开手十用主行方又如前所本见经头面公同三已老从动两长");
  const auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7fff; };
  const std::uint32_t length = 20 + next() % 41;
  QString paragraph;
  for (std::uint32_t i = 0; i < length; ++i) {
    paragraph += kCharacters[static_cast<qsizetype>(next() % static_cast<std::uint32_t>(kCharacters.size()))];
    if (i == length / 2) paragraph += u'，';
  }
  return paragraph + QStringLiteral("。\n");
}

// A text whose reading sheet has `pages` pages.
QString TextOfPages(int pages) {
  const SheetOptions options;
  const PageGeometry geometry = MakeGeometry(PaperSize(options.paper), options.squaresPerRow);
  QString text;
  std::uint32_t seed = 1;
  for (;;) {
    const QString more = Paragraph(seed);
    const SheetContent content = ReadSheetText(text + more, options.conversion);
    if (static_cast<int>(LayOutSheet(content, options, geometry.rows).size()) > pages) return text;
    text += more;
  }
}

double MedianMilliseconds(int runs, const std::function<void()>& work) {
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    QElapsedTimer timer;
    timer.start();
    work();
    times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const int pages = argc > 1 ? std::atoi(argv[1]) : 100;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
  const QString text = TextOfPages(pages);
  std::printf("text: %lld characters, %d pages of A4 with 10 squares to a row; median of %d runs\n",
              static_cast<long long>(text.size()), pages, runs);

  QTemporaryDir folder;
  const QString pdf = folder.filePath(QStringLiteral("sheet.pdf"));
  const double write = MedianMilliseconds(runs, [&] {
    StringText sheet(text);
    if (WritePdf(pdf, sheet, SheetOptions{})) std::abort();
  });
  std::printf("PDF (readings, layout, %d pages written):      %8.1f ms\n", pages, write);

  SheetWindow window;
  window.show();
  auto* input = window.findChild<QPlainTextEdit*>(QStringLiteral("input"));
  auto* preview = window.findChild<PagePreview*>(QStringLiteral("preview"));
  const auto update = [&] {
    window.UpdatePreview();
    preview->grab();  // the page is drawn
  };
  const double newText = MedianMilliseconds(runs, [&] {
    window.SetText(text);
    update();
  });
  std::printf("preview of a new text (set, read, lay out, draw): %8.1f ms\n", newText);
  const double edit = MedianMilliseconds(runs, [&] {
    input->textCursor().insertText(QStringLiteral("人"));
    update();
  });
  std::printf("preview after typing one character:             %8.1f ms\n", edit);
  return 0;
}
