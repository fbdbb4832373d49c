#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <vector>

#include "PageGeometry.h"
#include "SheetLayout.h"

class QPainter;

namespace mibolan::sheet {

// The faces of the sheet: a Kaiti face for the characters, as textbooks print them, and for the
// pinyin a face made for beginning readers, whose a and g have the single-storey forms ɑ and ɡ
// that children learn to write (Andika draws them so by its own design).
inline constexpr const char* kCharacterFace = "AR PL UKai CN";
inline constexpr const char* kReadingFace = "Andika";

// A face at one size, and what it measures; texts repeat, so their advances are kept.
struct MeasuredFont {
  explicit MeasuredFont(const QFont& face) : font(face), metrics(face) {}
  double Advance(const QString& text) const;

  QFont font;
  QFontMetricsF metrics;
  mutable QHash<QString, double> advances;
};

// How wide readings are on the staff, in squares, for the layout; needs the application's fonts.
ReadingWidth ReadingWidths();

// Paints pages of a sheet: the lines, the readings and the characters.
class SheetPainter {
 public:
  explicit SheetPainter(const PageGeometry& geometry);

  // Paints `page`, the `number`th of `count` (0: of a count not known), with `painter` set up in
  // dots from the paper's top left corner.
  void Paint(QPainter& painter, const Page& page, int number, int count) const;

 private:
  int SquaresOf(const Row& row) const;
  void PaintGrid(QPainter& painter, const Row& row, int index) const;
  void PaintRow(QPainter& painter, const Row& row, int index) const;
  void PaintReading(QPainter& painter, const QString& reading, const QRectF& staff) const;
  void PaintSquare(QPainter& painter, const Square& cell, const QRectF& square) const;
  // The first `drawn` strokes of the square's character, the last of them marked.
  void PaintStrokes(QPainter& painter, const Square& cell, int drawn, const QRectF& square) const;
  void PaintNameAndDate(QPainter& painter, int row) const;
  void PaintMarks(QPainter& painter, const QString& marks, const QRectF& square) const;
  void PaintHung(QPainter& painter, const QString& mark, const QRectF& square) const;
  // Draws `text` with its advance centred on `centreX`, pressed narrower when wider than `room`.
  void DrawCentred(QPainter& painter, const MeasuredFont& font, const QString& text, double centreX, double baseline,
                   double room) const;
  QRectF MarkInk(const QString& mark) const;

  PageGeometry geometry_;
  MeasuredFont characterFont_;
  MeasuredFont readingFont_;
  MeasuredFont latinFont_;
  MeasuredFont pageNumberFont_;
  double characterCentre_ = 0;  // height of a character's middle over its baseline
  double latinCapHeight_ = 0;
  mutable QHash<QString, QRectF> markInk_;
  mutable QHash<QString, std::vector<QPainterPath>> strokes_;
};

}  // namespace mibolan::sheet
