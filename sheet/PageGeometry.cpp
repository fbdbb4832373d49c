#include "PageGeometry.h"

#include <algorithm>
#include <cmath>

namespace mibolan::sheet {
namespace {

constexpr double kSideMargin = 15 * kDotsPerMm;
constexpr double kTopMargin = 15 * kDotsPerMm;
constexpr double kBottomMargin = 20 * kDotsPerMm;  // the page number stands in it
constexpr double kPageNumberRaise = 10 * kDotsPerMm;

// In squares, as textbooks draw them: a staff half as high as its square, close above it.
constexpr double kStaffHeight = 0.5;
constexpr double kStaffGap = 0.06;
constexpr double kRowGap = 0.24;

}  // namespace

QSizeF PaperSize(Paper paper) {
  switch (paper) {
    case Paper::Letter: return QSizeF(8.5 * kDotsPerInch, 11 * kDotsPerInch);
    case Paper::A4: break;
  }
  return QSizeF(210 * kDotsPerMm, 297 * kDotsPerMm);
}

PageGeometry MakeGeometry(QSizeF paper, int columns) {
  PageGeometry page;
  page.paper = paper;
  page.columns = std::clamp(columns, kFewestSquares, kMostSquares);
  page.square = (paper.width() - 2 * kSideMargin) / page.columns;
  page.staff = kStaffHeight * page.square;
  page.staffGap = kStaffGap * page.square;
  const double rowHeight = page.staff + page.staffGap + page.square;
  const double rowGap = kRowGap * page.square;
  page.rowPitch = rowHeight + rowGap;
  const double height = paper.height() - kTopMargin - kBottomMargin;
  page.rows = std::max(1, static_cast<int>(std::floor((height + rowGap) / page.rowPitch)));
  // The rows stand in the middle of the space between the margins.
  const double used = page.rows * page.rowPitch - rowGap;
  page.origin = QPointF(kSideMargin, kTopMargin + std::max(0.0, height - used) / 2);
  page.pageNumberBaseline = paper.height() - kPageNumberRaise;
  return page;
}

QRectF PageGeometry::Content() const {
  return QRectF(kSideMargin, kTopMargin, paper.width() - 2 * kSideMargin, paper.height() - kTopMargin - kBottomMargin);
}

}  // namespace mibolan::sheet
