#include "ResizeRule.h"

#include <cmath>

namespace mibolan::ui {
namespace {

// A size is stored only when it can be one; otherwise the step is skipped.
void StoreIfUsable(float& size, double value) {
  if (std::isfinite(value) && value >= 0.0) size = static_cast<float>(value);
}

}  // namespace

TextBoxSizes ApplyResizeRule(TextBoxSizes current, double outerWidthTwips, double outerHeightTwips,
                             double outputTopTwips) {
  StoreIfUsable(current.inputWidth, 0.99 * outerWidthTwips);
  StoreIfUsable(current.outputWidth, static_cast<double>(current.inputWidth));
  StoreIfUsable(current.outputHeight, 0.95 * outerHeightTwips - outputTopTwips);
  return current;
}

}  // namespace mibolan::ui
