#pragma once

#include <memory>
#include <optional>

#include <QPixmap>
#include <QWidget>

#include "PageGeometry.h"
#include "SheetContent.h"
#include "SheetLayout.h"
#include "SheetPainter.h"

namespace mibolan::sheet {

// The first page of a sheet as it will be printed, as large as the widget allows.
class PagePreview : public QWidget {
 public:
  explicit PagePreview(QWidget* parent = nullptr);

  void Show(std::shared_ptr<const SheetContent> content, const PageGeometry& geometry, Page page, int pageCount);

  // Where the page stands in the widget.
  QRectF PageRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QPixmap Render() const;

  std::shared_ptr<const SheetContent> content_;
  PageGeometry geometry_;
  std::optional<SheetPainter> painter_;
  Page page_;
  int pageCount_ = 1;
  QPixmap picture_;  // the page at the widget's present size, made when first needed
};

}  // namespace mibolan::sheet
