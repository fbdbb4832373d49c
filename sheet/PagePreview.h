#pragma once

#include <optional>

#include <QPixmap>
#include <QWidget>

#include "PageGeometry.h"
#include "SheetLayout.h"
#include "SheetPainter.h"

namespace mibolan::sheet {

// The first page of a sheet as it will be printed, as large as the widget allows.
class PagePreview : public QWidget {
 public:
  explicit PagePreview(QWidget* parent = nullptr);

  // `pageCount` 0: the sheet has more pages than were counted.
  void Show(const PageGeometry& geometry, Page page, int pageCount);

  // Where the page stands in the widget.
  QRectF PageRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QPixmap Render() const;

  PageGeometry geometry_;
  std::optional<SheetPainter> painter_;
  Page page_;
  int pageCount_ = 1;
  QPixmap picture_;  // the page at the widget's present size, made when first needed
};

}  // namespace mibolan::sheet
