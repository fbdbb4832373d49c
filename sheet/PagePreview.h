#pragma once

#include <optional>
#include <vector>

#include <QPixmap>
#include <QWidget>

#include "PageGeometry.h"
#include "SheetLayout.h"
#include "SheetPainter.h"

namespace mibolan::sheet {

// The pages of a sheet as they will be printed, one at a time, as large as the widget allows.
// The wheel, Page Up and Page Down turn the pages, Home and End go to the first and the last; a
// click on a reading says which it is.
class PagePreview : public QWidget {
  Q_OBJECT

 public:
  explicit PagePreview(QWidget* parent = nullptr);

  // `pageCount` 0: the sheet has more pages than were laid out. The page shown stays the same
  // one where the sheet still has it.
  void Show(const PageGeometry& geometry, std::vector<Page> pages, int pageCount);

  int PageShown() const { return shown_; }  // from 0
  int Pages() const { return static_cast<int>(pages_.size()); }
  void ShowPage(int index);

  // Where the page stands in the widget.
  QRectF PageRect() const;

  // The square with a reading that `point` of the widget is on (the square or its staff) on the
  // page shown; null elsewhere.
  const Square* ReadingAt(QPointF point) const;
  // Where the middle of the staff of the `column`th square of the `row`th row is in the widget.
  QPointF StaffCentre(int row, int column) const;

 signals:
  void pageChanged(int index);
  void readingClicked(const mibolan::sheet::Square& square, QPoint globalPosition);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QPixmap Render() const;

  PageGeometry geometry_;
  std::optional<SheetPainter> painter_;
  std::vector<Page> pages_;
  int shown_ = 0;
  int pageCount_ = 1;
  int wheel_ = 0;    // the wheel's turn not yet used, in eighths of a degree
  QPixmap picture_;  // the page at the widget's present size, made when first needed
};

}  // namespace mibolan::sheet
