#include "SheetOutput.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include "PageGeometry.h"
#include "PdfDestination.h"
#include "SheetContent.h"
#include "SheetLayout.h"
#include "SheetPainter.h"

namespace mibolan::sheet {
namespace {

constexpr qsizetype kLongestTitle = 200;  // characters

// `name` without control characters, at most kLongestTitle characters; empty when nothing is left.
QString CleanTitle(const QString& name) {
  QString clean;
  for (qsizetype i = 0; i < name.size(); ++i) {
    const QChar unit = name[i];
    const QChar::Category category = unit.isHighSurrogate() && i + 1 < name.size()
                                         ? QChar::category(QChar::surrogateToUcs4(unit, name[i + 1]))
                                         : unit.category();
    if (category == QChar::Other_Control || category == QChar::Other_Format || category == QChar::Separator_Line ||
        category == QChar::Separator_Paragraph) {
      continue;
    }
    clean += unit;
  }
  // trimmed(): an indent of ideographic spaces takes squares on the sheet, not room in a name.
  clean = clean.trimmed();
  qsizetype end = 0;
  for (qsizetype characters = 0; end < clean.size() && characters < kLongestTitle; ++characters) {
    end += clean[end].isHighSurrogate() && end + 1 < clean.size() && clean[end + 1].isLowSurrogate() ? 2 : 1;
  }
  return clean.first(end);
}

PageGeometry GeometryOf(const QPagedPaintDevice& device, const SheetOptions& options) {
  const QSizeF paper = device.pageLayout().fullRect(QPageLayout::Millimeter).size() * kDotsPerMm;
  return MakeGeometry(paper, options.squaresPerRow);
}

// Goes through the text, reading each piece and laying it out; `page` gets each page and may stop
// the work; `plan`, when given, what the text had. False when the text could not be read or the
// work was stopped.
template <class TakePage>
bool LayOut(TextSource& text, const SheetOptions& options, int rowsPerPage, TakePage page, SheetPlan* plan) {
  bool stopped = false;
  SheetLayouter layouter(
      options, rowsPerPage, [&](Page&& laid) { stopped = stopped || !page(std::move(laid)); }, ReadingWidths());
  const bool read = text.Walk([&](QString piece) {
    layouter.Add(ReadSheetText(std::move(piece), ReadingOptions(options)));
    return !stopped;
  });
  if (!read || stopped) return false;
  layouter.Finish();
  if (plan != nullptr) {
    plan->firstLine = layouter.FirstLine();
    plan->unread = layouter.AnyText() && !layouter.AnyReading();
  }
  return !stopped;
}

}  // namespace

QPageSize PageSizeOf(Paper paper) { return QPageSize(paper == Paper::Letter ? QPageSize::Letter : QPageSize::A4); }

QString SheetTitle(const QString& firstLine) {
  const QString title = CleanTitle(firstLine);
  return title.isEmpty() ? QStringLiteral("拼音练习纸") : title;
}

QString DocumentTitle(const SheetOptions& options, const SheetPlan& plan, const QString& fileName) {
  if (options.title) {
    if (QString title = CleanTitle(plan.firstLine); !title.isEmpty()) return title;
  }
  return SheetTitle(fileName);
}

bool PaintSheet(QPagedPaintDevice& device, TextSource& text, const SheetOptions& options, const Progress& progress,
                const std::function<bool(const SheetPlan&)>& planned) {
  const PageGeometry geometry = GeometryOf(device, options);
  SheetPlan plan;
  if (text.Rewindable()) {
    const auto counted = [&](Page&&) {
      ++plan.pages;
      return !progress || progress(0, 0);
    };
    if (!LayOut(text, options, geometry.rows, counted, &plan)) return false;
  } else if (!text.Problem().empty()) {
    return false;
  }
  if (planned && !planned(plan)) return false;

  QPainter painter;
  if (!painter.begin(&device)) return false;
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(device.logicalDpiX() / kDotsPerInch, device.logicalDpiY() / kDotsPerInch);
  const SheetPainter sheet(geometry);
  int number = 0;
  const auto paint = [&](Page&& page) {
    if (++number > 1) device.newPage();
    sheet.Paint(painter, page, number, plan.pages);
    return !progress || progress(number, plan.pages);
  };
  const bool painted = LayOut(text, options, geometry.rows, paint, nullptr);
  return painter.end() && painted;
}

std::optional<QString> WritePdf(const QString& path, TextSource& text, const SheetOptions& options,
                                const Progress& progress) {
  PdfDestination destination(path);
  QIODevice* device = destination.Device();
  if (device == nullptr) return destination.Problem();
  {
    QPdfWriter writer(device);
    writer.setResolution(static_cast<int>(kDotsPerInch));
    writer.setPageSize(PageSizeOf(options.paper));
    writer.setPageMargins(QMarginsF());
    writer.setCreator(QStringLiteral("mibolan-sheet"));
    bool stopped = false;
    const Progress counted = [&](int done, int total) {
      stopped = progress && !progress(done, total);
      return !stopped;
    };
    bool unread = false;
    const auto titled = [&](const SheetPlan& plan) {
      writer.setTitle(DocumentTitle(options, plan, text.FileName()));
      unread = plan.unread;
      return !unread;
    };
    if (!PaintSheet(writer, text, options, counted, titled)) {
      destination.Cancel();
      if (stopped) return QStringLiteral("stopped");
      if (unread) return QString::fromLatin1(kNothingToRead);
      if (!text.Problem().empty()) return QString::fromStdString(text.Problem());
      const QString problem = device->errorString();
      return problem.isEmpty() || problem == QStringLiteral("Unknown error")
                 ? QStringLiteral("the PDF could not be made")
                 : problem;
    }
  }
  return destination.Commit();
}

}  // namespace mibolan::sheet
