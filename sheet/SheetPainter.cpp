#include "SheetPainter.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include "Strokes.h"

namespace mibolan::sheet {
namespace {

const QColor kLineColour(46, 139, 87);     // the outlines of squares and staffs, a textbook green
const QColor kCrossColour(120, 186, 140);  // the dashed cross, lighter
const QColor kInk(0, 0, 0);
const QColor kTraceInk(190, 190, 190);  // copies to write over
const QColor kPageNumberInk(110, 110, 110);
const QColor kNewStrokeInk(214, 40, 40);  // the stroke that a step of a stroke order adds

constexpr double kCharacterSize = 0.84;  // of a square: the Kaiti em
constexpr double kLatinSize = 0.62;      // of a square: the em of letters and digits in squares
constexpr double kInnerRoom = 0.92;      // of a square: the widest a reading or a letter pair may be
constexpr double kOutlineWidth = 0.3 * kDotsPerMm;
constexpr double kThinLineWidth = 0.15 * kDotsPerMm;
constexpr double kDashPeriod = 2.2 * kDotsPerMm;  // about; a whole number of periods fits a square
constexpr double kPageNumberSize = 3.6 * kDotsPerMm;
constexpr double kStrokeBox = 0.94;  // of a square: the box that stroke outlines are drawn in
constexpr double kNameSize = 0.45;   // of a square: the em of the name and date line

QFont Face(const char* family, std::initializer_list<QString> fallbacks, double pixels) {
  QFont font(QString::fromLatin1(family));
  QStringList families{QString::fromLatin1(family)};
  families.append(fallbacks);
  font.setFamilies(families);
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
  font.setHintingPreference(QFont::PreferNoHinting);
  font.setKerning(true);
  return font;
}

QPen Line(const QColor& colour, double width) {
  QPen pen(colour, width);
  pen.setCapStyle(Qt::FlatCap);
  return pen;
}

// Small marks sit in a square's lower left quarter, and the colon, semicolon, question and
// exclamation marks in its left half, as children are taught to write them; where their ink's
// middle goes, as fractions of the square. Every other mark stands where its face puts it.
std::optional<QPointF> MarkPlace(char16_t mark) {
  constexpr std::u16string_view kLowerLeft = u"，。、．,.";
  constexpr std::u16string_view kLeftHalf = u"：；？！:;?!";
  if (kLowerLeft.find(mark) != std::u16string_view::npos) return QPointF(0.3, 0.7);
  if (kLeftHalf.find(mark) != std::u16string_view::npos) return QPointF(0.32, 0.5);
  return std::nullopt;
}

QFont CharacterFace(double pixels) {
  return Face(kCharacterFace, {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")}, pixels);
}

QFont ReadingFace(double pixels) { return Face(kReadingFace, {QStringLiteral("DejaVu Sans")}, pixels); }

// The size at which the x-height fills the middle band, measured on a large copy for precision.
double ReadingSize(double band) {
  constexpr double kLarge = 2048;
  return band / (QFontMetricsF(ReadingFace(kLarge)).tightBoundingRect(QStringLiteral("x")).height() / kLarge);
}

}  // namespace

double MeasuredFont::Advance(const QString& text) const {
  auto known = advances.constFind(text);
  if (known == advances.constEnd()) known = advances.insert(text, metrics.horizontalAdvance(text));
  return *known;
}

SheetPainter::SheetPainter(const PageGeometry& geometry)
    : geometry_(geometry),
      characterFont_(CharacterFace(kCharacterSize * geometry.square)),
      readingFont_(ReadingFace(ReadingSize(geometry.Band()))),
      latinFont_(ReadingFace(kLatinSize * geometry.square)),
      pageNumberFont_(ReadingFace(kPageNumberSize)) {
  characterCentre_ = -characterFont_.metrics.tightBoundingRect(QStringLiteral("国")).center().y();
  latinCapHeight_ = -latinFont_.metrics.tightBoundingRect(QStringLiteral("H")).top();
}

void SheetPainter::Paint(QPainter& painter, const Page& page, int number, int count) const {
  painter.save();
  // Nothing of the rows reaches into the margins, whatever the text holds.
  painter.setClipRect(geometry_.Content().adjusted(-kDotsPerMm, -kDotsPerMm, kDotsPerMm, kDotsPerMm));
  for (int row = 0; row < geometry_.rows; ++row) {
    const std::size_t index = static_cast<std::size_t>(row);
    if (index >= page.rows.size() || page.rows[index].kind == Row::Kind::Grid) PaintGrid(painter, row);
    if (index < page.rows.size()) PaintRow(painter, page.rows[index], row);
  }
  painter.restore();

  painter.setPen(kPageNumberInk);
  const QString numbered = count > 0 ? QStringLiteral("%1 / %2").arg(number).arg(count) : QString::number(number);
  // Measured afresh, not kept as other texts' advances are: no two pages share a number.
  const double advance = pageNumberFont_.metrics.horizontalAdvance(numbered);
  painter.setFont(pageNumberFont_.font);
  painter.drawText(QPointF(geometry_.paper.width() / 2 - advance / 2, geometry_.pageNumberBaseline), numbered);
}

void SheetPainter::PaintGrid(QPainter& painter, int row) const {
  const int columns = geometry_.columns;
  const double left = geometry_.Left(0);
  const double right = geometry_.Left(columns);
  const double square = geometry_.square;
  const double staffTop = geometry_.StaffTop(row);
  const double top = geometry_.SquareTop(row);
  const double bottom = top + square;

  // The staffs: four lines across the row, and an upright at every square's edge.
  QPainterPath staffs;
  for (int line = 0; line < 4; ++line) {
    staffs.moveTo(left, staffTop + line * geometry_.Band());
    staffs.lineTo(right, staffTop + line * geometry_.Band());
  }
  for (int column = 0; column <= columns; ++column) {
    staffs.moveTo(geometry_.Left(column), staffTop);
    staffs.lineTo(geometry_.Left(column), staffTop + geometry_.staff);
  }
  painter.strokePath(staffs, Line(kLineColour, kThinLineWidth));

  // The dashed crosses; a whole number of dash periods to a square puts the dashes of every
  // square in the same places, with half a gap at each end.
  const double periods = std::max(4.0, std::round(square / kDashPeriod));
  const double period = square / periods / kThinLineWidth;  // in line widths, as QPen counts
  QPen dashed = Line(kCrossColour, kThinLineWidth);
  dashed.setDashPattern({period * 0.6, period * 0.4});
  dashed.setDashOffset(period * 0.8);
  QPainterPath crosses;
  crosses.moveTo(left, top + square / 2);
  crosses.lineTo(right, top + square / 2);
  for (int column = 0; column < columns; ++column) {
    crosses.moveTo(geometry_.Left(column + 0.5), top);
    crosses.lineTo(geometry_.Left(column + 0.5), bottom);
  }
  painter.strokePath(crosses, dashed);

  QPainterPath outlines;
  outlines.moveTo(left, top);
  outlines.lineTo(right, top);
  outlines.moveTo(left, bottom);
  outlines.lineTo(right, bottom);
  for (int column = 0; column <= columns; ++column) {
    outlines.moveTo(geometry_.Left(column), top);
    outlines.lineTo(geometry_.Left(column), bottom);
  }
  painter.strokePath(outlines, Line(kLineColour, kOutlineWidth));
}

void SheetPainter::PaintRow(QPainter& painter, const Row& row, int index) const {
  if (row.kind == Row::Kind::NameAndDate) {
    PaintNameAndDate(painter, index);
    return;
  }
  // The readings of a row first, then its characters, so that the page's text reads in order.
  for (const Slot& slot : row.placed) {
    if (!slot.square.reading) continue;
    painter.setPen(slot.trace ? kTraceInk : kInk);
    PaintReading(painter, QString::fromStdU16String(slot.square.reading->marked),
                 geometry_.Staff(index, slot.column + row.shift));
  }
  for (const Slot& slot : row.placed) {
    const QRectF square = geometry_.Square(index, slot.column + row.shift);
    if (slot.strokes > 0) {
      PaintStrokes(painter, slot.square, slot.strokes, square);
      continue;
    }
    painter.setPen(slot.trace ? kTraceInk : kInk);
    PaintSquare(painter, slot.square, square);
  }
}

void SheetPainter::PaintStrokes(QPainter& painter, const Square& cell, int drawn, const QRectF& square) const {
  auto known = strokes_.constFind(cell.text);
  if (known == strokes_.constEnd()) {
    std::vector<QPainterPath> paths;
    const QList<uint> ucs4 = cell.text.toUcs4();
    for (const StrokeOutline& stroke : StrokesOf(ucs4.isEmpty() ? U'\0' : static_cast<char32_t>(ucs4.front()))) {
      QPainterPath path;
      auto point = stroke.points.begin();
      for (const StrokeOutline::Step step : stroke.steps) {
        switch (step) {
          case StrokeOutline::Step::Move: path.moveTo(*point++); break;
          case StrokeOutline::Step::Line: path.lineTo(*point++); break;
          case StrokeOutline::Step::Quad: path.quadTo(point[0], point[1]), point += 2; break;
          case StrokeOutline::Step::Cubic: path.cubicTo(point[0], point[1], point[2]), point += 3; break;
        }
      }
      path.closeSubpath();
      paths.push_back(std::move(path));
    }
    known = strokes_.insert(cell.text, std::move(paths));
  }
  const std::vector<QPainterPath>& paths = *known;
  const double box = kStrokeBox * square.width();
  const QTransform before = painter.transform();
  painter.translate(square.center().x() - box / 2, square.center().y() - box / 2);
  painter.scale(box / kStrokeUnits, box / kStrokeUnits);
  const auto count = std::min(paths.size(), static_cast<std::size_t>(drawn));
  for (std::size_t stroke = 0; stroke < count; ++stroke) {
    painter.fillPath(paths[stroke], stroke + 1 == count ? kNewStrokeInk : kInk);
  }
  painter.setTransform(before);
}

void SheetPainter::PaintNameAndDate(QPainter& painter, int row) const {
  // Two labels with a line after each, on the level of the row's squares.
  const QFont font = CharacterFace(kNameSize * geometry_.square);
  const QFontMetricsF metrics(font);
  const double baseline = geometry_.SquareTop(row) + 0.7 * geometry_.square;
  const double width = geometry_.Left(geometry_.columns) - geometry_.Left(0);
  painter.setFont(font);
  painter.setPen(kInk);
  const QString labels[] = {QStringLiteral("姓名："), QStringLiteral("日期：")};
  for (int i = 0; i < 2; ++i) {
    const double left = geometry_.Left(0) + i * width / 2;
    const double label = metrics.horizontalAdvance(labels[i]);
    painter.drawText(QPointF(left, baseline), labels[i]);
    painter.setPen(Line(kInk, kThinLineWidth));
    painter.drawLine(QPointF(left + label, baseline + 0.1 * geometry_.square),
                     QPointF(left + width / 2 - 0.5 * geometry_.square, baseline + 0.1 * geometry_.square));
    painter.setPen(kInk);
  }
}

void SheetPainter::PaintReading(QPainter& painter, const QString& reading, const QRectF& staff) const {
  // The baseline is the third line; tone marks rise into the top band, g, p and y hang into the
  // bottom one.
  DrawCentred(painter, readingFont_, reading, staff.center().x(), staff.top() + 2 * geometry_.Band(),
              kInnerRoom * staff.width());
}

void SheetPainter::PaintSquare(QPainter& painter, const Square& cell, const QRectF& square) const {
  const QString& text = cell.text;
  switch (cell.kind) {
    case CellKind::Latin:
      DrawCentred(painter, latinFont_, text, square.center().x(), square.center().y() + latinCapHeight_ / 2,
                  kInnerRoom * square.width());
      return;
    case CellKind::Mark:
      if (const auto place = MarkPlace(text[0].unicode()); place && text.size() == 1) {
        const QRectF ink = MarkInk(text);
        const QPointF centre(square.left() + place->x() * square.width(), square.top() + place->y() * square.height());
        painter.setFont(characterFont_.font);
        painter.drawText(centre - ink.center(), text);
        return;
      }
      break;
    case CellKind::Character: break;
    case CellKind::Space:
    case CellKind::LineBreak: return;
  }
  DrawCentred(painter, characterFont_, text, square.center().x(), square.center().y() + characterCentre_,
              square.width());
}

void SheetPainter::DrawCentred(QPainter& painter, const MeasuredFont& font, const QString& text, double centreX,
                               double baseline, double room) const {
  const double advance = font.Advance(text);
  painter.setFont(font.font);
  if (advance <= room) {
    painter.drawText(QPointF(centreX - advance / 2, baseline), text);
    return;
  }
  const double squeeze = room / advance;
  const QTransform before = painter.transform();
  painter.translate(centreX - room / 2, baseline);
  painter.scale(squeeze, 1);
  painter.drawText(QPointF(0, 0), text);
  painter.setTransform(before);
}

QRectF SheetPainter::MarkInk(const QString& mark) const {
  auto known = markInk_.constFind(mark);
  if (known == markInk_.constEnd()) known = markInk_.insert(mark, characterFont_.metrics.tightBoundingRect(mark));
  return *known;
}

}  // namespace mibolan::sheet
