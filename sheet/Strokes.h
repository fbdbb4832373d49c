#pragma once

#include <cstdint>
#include <vector>

#include <QPoint>

namespace mibolan::sheet {

// Stroke outlines are drawn in a square of this many units a side.
inline constexpr int kStrokeUnits = 1024;

// One stroke's outline, closed: a move to its first point, then lines and quadratic and cubic
// curves, with x to the right and y down from the square's top left corner.
struct StrokeOutline {
  enum class Step : std::uint8_t { Move, Line, Quad, Cubic };
  std::vector<Step> steps;
  std::vector<QPoint> points;  // one for a move or a line, two for a quadratic curve, three for a cubic
};

// The strokes of `character` in the order they are written, from the data built into the program
// (sheet/data/README.md says which characters it has); empty when it has none.
std::vector<StrokeOutline> StrokesOf(char32_t character);

// How many strokes StrokesOf gives.
int StrokeCount(char32_t character);

}  // namespace mibolan::sheet
