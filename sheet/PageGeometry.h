#pragma once

#include <cmath>

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include "SheetOptions.h"

namespace mibolan::sheet {

// Lengths on a page are in dots of 1/1200 inch: fine enough for print, and fonts sized in whole
// dots come out at the size they are meant to have.
inline constexpr double kDotsPerInch = 1200;
inline constexpr double kDotsPerMm = kDotsPerInch / 25.4;

QSizeF PaperSize(Paper paper);  // in dots

// Where the rows of squares lie on a page. Each row is a row of staffs, three bands of equal
// height between four lines, and right below it a row of squares of the same width.
struct PageGeometry {
  QSizeF paper;
  int columns = 0;
  int rows = 0;         // rows that the page has room for
  double square = 0;    // side of a square
  double staff = 0;     // height of a staff
  double staffGap = 0;  // between a staff and its square
  double rowPitch = 0;  // from the top of a row to the top of the next
  QPointF origin;       // top left of the first row's staff
  double pageNumberBaseline = 0;

  double Band() const { return staff / 3; }
  double Left(double column) const { return origin.x() + column * square; }
  double StaffTop(int row) const { return origin.y() + row * rowPitch; }
  double SquareTop(int row) const { return StaffTop(row) + staff + staffGap; }
  QRectF Square(int row, double column) const { return {Left(column), SquareTop(row), square, square}; }
  QRectF Staff(int row, double column) const { return {Left(column), StaffTop(row), square, staff}; }
  // The square and the staff of a row's `index`th place, its places `pitch` squares apart from
  // `shift` on: each staff `pitch` wide, its square in the middle under it.
  QRectF Square(int row, double shift, double pitch, double index) const {
    return Square(row, shift + index * pitch + (pitch - 1) / 2);
  }
  QRectF Staff(int row, double shift, double pitch, double index) const {
    return {Left(shift + index * pitch), StaffTop(row), pitch * square, staff};
  }
  // How many squares a row of places `pitch` apart has room for.
  int SquaresAt(double pitch) const { return static_cast<int>(std::floor(columns / pitch + 1e-9)); }
  QRectF Content() const;  // everything but the page number lies in it
};

// The geometry of a page of `paper` (in dots) with `columns` squares to a row.
PageGeometry MakeGeometry(QSizeF paper, int columns);

}  // namespace mibolan::sheet
