#include "SheetOutput.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include "PageGeometry.h"
#include "PdfDestination.h"
#include "SheetLayout.h"
#include "SheetPainter.h"

namespace mibolan::sheet {

QPageSize PageSizeOf(Paper paper) { return QPageSize(paper == Paper::Letter ? QPageSize::Letter : QPageSize::A4); }

QString SheetTitle(const SheetContent& content) {
  // trimmed(): an indent of ideographic spaces takes squares on the sheet, not room in a name.
  const QString line = FirstLine(content).trimmed();
  return line.isEmpty() ? QStringLiteral("拼音练习纸") : line;
}

bool PaintSheet(QPagedPaintDevice& device, const SheetContent& content, const SheetOptions& options,
                const Progress& progress) {
  const QSizeF paper = device.pageLayout().fullRect(QPageLayout::Millimeter).size() * kDotsPerMm;
  const PageGeometry geometry = MakeGeometry(paper, options.squaresPerRow);
  const std::vector<Page> pages = LayOutSheet(content, options, geometry.rows);
  const SheetPainter sheet(content, geometry);

  QPainter painter;
  if (!painter.begin(&device)) return false;
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(device.logicalDpiX() / kDotsPerInch, device.logicalDpiY() / kDotsPerInch);
  const int count = static_cast<int>(pages.size());
  for (int number = 1; number <= count; ++number) {
    if (number > 1) device.newPage();
    sheet.Paint(painter, pages[static_cast<std::size_t>(number - 1)], number, count);
    if (progress && !progress(number, count)) {
      painter.end();
      return false;
    }
  }
  return painter.end();
}

std::optional<QString> WritePdf(const QString& path, const SheetContent& content, const SheetOptions& options,
                                const Progress& progress) {
  PdfDestination destination(path);
  QIODevice* device = destination.Device();
  if (device == nullptr) return destination.Problem();
  {
    QPdfWriter writer(device);
    writer.setResolution(static_cast<int>(kDotsPerInch));
    writer.setPageSize(PageSizeOf(options.paper));
    writer.setPageMargins(QMarginsF());
    writer.setTitle(SheetTitle(content));
    writer.setCreator(QStringLiteral("mibolan-sheet"));
    bool stopped = false;
    const Progress counted = [&](int done, int total) {
      stopped = progress && !progress(done, total);
      return !stopped;
    };
    if (!PaintSheet(writer, content, options, counted)) {
      destination.Cancel();
      if (stopped) return QStringLiteral("stopped");
      const QString problem = device->errorString();
      return problem.isEmpty() || problem == QStringLiteral("Unknown error")
                 ? QStringLiteral("the PDF could not be made")
                 : problem;
    }
  }
  return destination.Commit();
}

}  // namespace mibolan::sheet
