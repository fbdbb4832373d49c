#include "SheetPainter.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <string_view>

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include "StaffFont.h"
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
constexpr double kInnerRoom = 0.92;      // of a square: the widest a letter pair may be
constexpr double kHangRoom = 0.3;        // of a square: the room of a mark hung after a row's last square
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

// The letters of the readings at the size whose x-height fills the middle band: the staff's own
// face, else the reading face as it is.
QFont ReadingFont(double band) {
  if (const std::optional<StaffFace>& staff = StaffLetters()) return staff->AtBand(band);
  constexpr double kLarge = 2048;
  const double xHeight = QFontMetricsF(ReadingFace(kLarge)).tightBoundingRect(QStringLiteral("x")).height() / kLarge;
  return ReadingFace(band / xHeight);
}

// Where the marks of a square of two (：“ 。”) have their ink's middle, as fractions of the square:
// the first in the left half, the second in the right.
QPointF PairPlace(char16_t mark, bool first) {
  constexpr std::u16string_view kQuotes = u"“‘”’「」『』";
  if (kQuotes.find(mark) != std::u16string_view::npos) return {first ? 0.3 : 0.72, 0.3};
  const std::optional<QPointF> alone = MarkPlace(mark);
  return {first ? 0.27 : 0.72, alone ? alone->y() : 0.5};
}

// Two marks that share a square, not one symbol of two units nor a mark with an accent.
bool IsPairOfMarks(const QString& text) {
  return text.size() == 2 && !text[0].isSurrogate() && !text[1].isMark() && !text[1].isSurrogate();
}

}  // namespace

double MeasuredFont::Advance(const QString& text) const {
  auto known = advances.constFind(text);
  if (known == advances.constEnd()) known = advances.insert(text, metrics.horizontalAdvance(text));
  return *known;
}

ReadingWidth ReadingWidths() {
  // Measured large, where a square is 6000 pixels.
  constexpr double kBand = 1000;
  auto font = std::make_shared<MeasuredFont>(ReadingFont(kBand));
  return [font](const QString& reading) { return font->Advance(reading) / (6 * kBand); };
}

SheetPainter::SheetPainter(const PageGeometry& geometry)
    : geometry_(geometry),
      characterFont_(CharacterFace(kCharacterSize * geometry.square)),
      readingFont_(ReadingFont(geometry.Band())),
      latinFont_(ReadingFace(kLatinSize * geometry.square)),
      pageNumberFont_(ReadingFace(kPageNumberSize)) {
  characterCentre_ = -characterFont_.metrics.tightBoundingRect(QStringLiteral("国")).center().y();
  latinCapHeight_ = -latinFont_.metrics.tightBoundingRect(QStringLiteral("H")).top();
}

void SheetPainter::Paint(QPainter& painter, const Page& page, int number, int count) const {
  painter.save();
  // Nothing of the rows reaches into the margins, whatever the text holds, but a mark hung after
  // a row's last square.
  const double edge = kDotsPerMm;
  painter.setClipRect(geometry_.Content().adjusted(-edge, -edge, edge + kHangRoom * geometry_.square, edge));
  const Row emptyRow;
  for (int row = 0; row < geometry_.rows; ++row) {
    const std::size_t index = static_cast<std::size_t>(row);
    const Row& shown = index < page.rows.size() ? page.rows[index] : emptyRow;
    if (shown.kind == Row::Kind::Grid) PaintGrid(painter, shown, row);
    PaintRow(painter, shown, row);
  }
  painter.restore();

  painter.setPen(kPageNumberInk);
  const QString numbered = count > 0 ? QStringLiteral("%1 / %2").arg(number).arg(count) : QString::number(number);
  // Measured afresh, not kept as other texts' advances are: no two pages share a number.
  const double advance = pageNumberFont_.metrics.horizontalAdvance(numbered);
  painter.setFont(pageNumberFont_.font);
  painter.drawText(QPointF(geometry_.paper.width() / 2 - advance / 2, geometry_.pageNumberBaseline), numbered);
}

int SheetPainter::SquaresOf(const Row& row) const {
  return row.squares > 0 ? row.squares : geometry_.SquaresAt(row.pitch);
}

void SheetPainter::PaintGrid(QPainter& painter, const Row& shown, int row) const {
  const int squares = SquaresOf(shown);
  if (squares == 0) return;
  const double square = geometry_.square;
  const auto staffAt = [&](int index) { return geometry_.Staff(row, shown.shift, shown.pitch, index); };
  const auto squareAt = [&](int index) { return geometry_.Square(row, shown.shift, shown.pitch, index); };
  const double staffTop = geometry_.StaffTop(row);
  const double top = geometry_.SquareTop(row);
  const double bottom = top + square;
  const bool apart = shown.pitch > 1;  // the squares stand apart, the staffs still touch

  // The staffs: four lines across the row, and an upright at every staff's edge.
  QPainterPath staffs;
  const double left = staffAt(0).left();
  const double right = staffAt(squares - 1).right();
  for (int line = 0; line < 4; ++line) {
    staffs.moveTo(left, staffTop + line * geometry_.Band());
    staffs.lineTo(right, staffTop + line * geometry_.Band());
  }
  for (int index = 0; index <= squares; ++index) {
    const double x = index < squares ? staffAt(index).left() : right;
    staffs.moveTo(x, staffTop);
    staffs.lineTo(x, staffTop + geometry_.staff);
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
  for (int index = 0; index < squares; ++index) {
    const QRectF place = squareAt(index);
    if (index == 0 || apart) {
      crosses.moveTo(place.left(), top + square / 2);
      crosses.lineTo(apart ? place.right() : squareAt(squares - 1).right(), top + square / 2);
    }
    crosses.moveTo(place.center().x(), top);
    crosses.lineTo(place.center().x(), bottom);
  }
  painter.strokePath(crosses, dashed);

  QPainterPath outlines;
  for (int index = 0; index < squares; ++index) {
    const QRectF place = squareAt(index);
    if (index == 0 || apart) {
      outlines.moveTo(place.left(), top);
      outlines.lineTo(place.left(), bottom);
    }
    outlines.moveTo(place.right(), top);
    outlines.lineTo(place.right(), bottom);
    if (index == 0 || apart) {
      const double end = apart ? place.right() : squareAt(squares - 1).right();
      outlines.moveTo(place.left(), top);
      outlines.lineTo(end, top);
      outlines.moveTo(place.left(), bottom);
      outlines.lineTo(end, bottom);
    }
  }
  painter.strokePath(outlines, Line(kLineColour, kOutlineWidth));
}

void SheetPainter::PaintRow(QPainter& painter, const Row& row, int index) const {
  if (row.kind == Row::Kind::NameAndDate) {
    PaintNameAndDate(painter, index);
    return;
  }
  const int squares = SquaresOf(row);
  // The readings of a row first, then its characters, so that the page's text reads in order.
  for (const Slot& slot : row.placed) {
    if (!slot.square.reading) continue;
    painter.setPen(slot.trace ? kTraceInk : kInk);
    PaintReading(painter, QString::fromStdU16String(slot.square.reading->marked),
                 geometry_.Staff(index, row.shift, row.pitch, slot.column));
  }
  for (const Slot& slot : row.placed) {
    const QRectF square = geometry_.Square(index, row.shift, row.pitch, slot.column);
    if (slot.strokes > 0) {
      PaintStrokes(painter, slot.square, slot.strokes, square);
      continue;
    }
    painter.setPen(slot.trace ? kTraceInk : kInk);
    if (slot.column >= squares && row.kind == Row::Kind::Grid) {
      const QRectF last = geometry_.Square(index, row.shift, row.pitch, squares - 1);
      PaintHung(painter, slot.square.text, last.translated(last.width(), 0));
    } else {
      PaintSquare(painter, slot.square, square);
    }
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
  // The baseline is the third line; tone marks and ascenders reach the top line, g, p and y the
  // bottom one. A reading wider than its staff (in rows whose squares cannot stand apart) is
  // pressed into it.
  DrawCentred(painter, readingFont_, reading, staff.center().x(), staff.top() + 2 * geometry_.Band(),
              staff.width() - 2 * SheetLayouter::kStaffRoom * geometry_.square);
}

void SheetPainter::PaintSquare(QPainter& painter, const Square& cell, const QRectF& square) const {
  const QString& text = cell.text;
  switch (cell.kind) {
    case CellKind::Latin:
      DrawCentred(painter, latinFont_, text, square.center().x(), square.center().y() + latinCapHeight_ / 2,
                  kInnerRoom * square.width());
      return;
    case CellKind::Mark:
      if (IsPairOfMarks(text)) {
        PaintMarks(painter, text, square);
        return;
      }
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

void SheetPainter::PaintMarks(QPainter& painter, const QString& marks, const QRectF& square) const {
  painter.setFont(characterFont_.font);
  for (int i = 0; i < 2; ++i) {
    const QString mark = marks.sliced(i, 1);
    const QPointF place = PairPlace(mark[0].unicode(), i == 0);
    const QPointF centre(square.left() + place.x() * square.width(), square.top() + place.y() * square.height());
    painter.drawText(centre - MarkInk(mark).center(), mark);
  }
}

void SheetPainter::PaintHung(QPainter& painter, const QString& mark, const QRectF& square) const {
  // In the margin, close to the last square, made smaller when it is wider than the room there.
  const QRectF ink = MarkInk(mark);
  const double room = kHangRoom * square.width();
  const double scale = std::min(1.0, room * 0.8 / std::max(1.0, ink.width()));
  const std::optional<QPointF> place = MarkPlace(mark[0].unicode());
  const QPointF centre(square.left() + room / 2, square.top() + (place ? place->y() : 0.5) * square.height());
  const QTransform before = painter.transform();
  painter.translate(centre);
  painter.scale(scale, scale);
  painter.setFont(characterFont_.font);
  painter.drawText(-ink.center(), mark);
  painter.setTransform(before);
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
