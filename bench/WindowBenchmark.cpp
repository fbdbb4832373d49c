// Times the main window on a long text, on Qt's offscreen platform unless another is chosen:
// pressing "生成拼音" until the output box shows the result, then scrolling to the end of each
// box and selecting all of it; at the end, the process's peak memory. A benchmark, not a test:
// it prints its figures and checks only that the output is the engine's.
// Usage: window_benchmark [--annotated] [--runs=N] [CORPUS]
//        (default: the "rén" style, 5 runs, bench/corpus/corpus.txt made by make_corpus.sh;
//        --annotated chooses "人(rén)"; Qt's own -style option is taken by Qt)
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include <mibolan/ConvertText.h>

#include "DesignFonts.h"
#include "MainWindow.h"

namespace {

// Runs `step` and lets the window process every event and paint, as a user would see it.
double Milliseconds(QWidget& window, const std::function<void()>& step) {
  QElapsedTimer timer;
  timer.start();
  step();
  QCoreApplication::processEvents();
  window.repaint();
  return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void Report(const char* what, const std::vector<double>& times) {
  std::printf("%-44s median %8.1f ms   (min %.1f, max %.1f)\n", what, Median(times),
              *std::min_element(times.begin(), times.end()), *std::max_element(times.begin(), times.end()));
}

void ScrollToEnd(QPlainTextEdit& box) { box.verticalScrollBar()->setValue(box.verticalScrollBar()->maximum()); }

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  mibolan::Style style = mibolan::Style::Pinyin;
  int runs = 5;
  QString path = QStringLiteral("bench/corpus/corpus.txt");
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--annotated") == 0) {
      style = mibolan::Style::Annotated;
    } else if (std::strncmp(argv[i], "--runs=", 7) == 0) {
      runs = std::max(1, std::atoi(argv[i] + 7));
    } else {
      path = QString::fromLocal8Bit(argv[i]);
    }
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "window_benchmark: %s: %s (bench/make_corpus.sh makes the corpus)\n", qPrintable(path),
                 qPrintable(file.errorString()));
    return 1;
  }
  const QString text = QString::fromUtf8(file.readAll());

  mibolan::ui::MapDesignFonts();
  mibolan::ui::MainWindow window(nullptr, [](auto&&...) {});
  window.showMaximized();
  QCoreApplication::processEvents();
  std::printf("window_benchmark: %lld bytes of UTF-8, %lld UTF-16 units, style %s, window %dx%d, platform %s\n",
              static_cast<long long>(file.size()), static_cast<long long>(text.size()),
              style == mibolan::Style::Annotated ? "annotated" : "pinyin", window.width(), window.height(),
              qPrintable(QGuiApplication::platformName()));

  // The controls, found by their names as a test or an accessibility tool finds them.
  auto& inputBox = *window.findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
  auto& outputBox = *window.findChild<QPlainTextEdit*>(QStringLiteral("Text2"));
  auto& convertButton = *window.findChild<QPushButton*>(QStringLiteral("Command1"));
  window
      .findChild<QRadioButton*>(style == mibolan::Style::Annotated ? QStringLiteral("Option1")
                                                                   : QStringLiteral("Option3"))
      ->click();

  std::vector<double> paste, convert, scroll, select;
  for (int run = 0; run < runs; ++run) {
    outputBox.clear();
    paste.push_back(Milliseconds(window, [&] { inputBox.setPlainText(text); }));
    convert.push_back(Milliseconds(window, [&] { convertButton.click(); }));
    scroll.push_back(Milliseconds(window, [&] {
      ScrollToEnd(inputBox);
      ScrollToEnd(outputBox);
    }));
    select.push_back(Milliseconds(window, [&] {
      inputBox.selectAll();
      outputBox.selectAll();
    }));
  }
  Report("paste into the input box", paste);
  Report("click on the button until the result shows", convert);
  Report("scroll both boxes to the end", scroll);
  Report("select all of both boxes", select);
  std::printf("%-44s %8.0f MB\n", "peak memory", PeakMegabytes());

  const std::u16string expected = mibolan::ConvertText(
      std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())),
      style);
  const QString shown = outputBox.toPlainText();
  if (shown.size() != static_cast<qsizetype>(expected.size())) {
    std::fprintf(stderr, "window_benchmark: the output box holds %lld units, the engine gives %zu\n",
                 static_cast<long long>(shown.size()), expected.size());
    return 1;
  }
  return 0;
}
