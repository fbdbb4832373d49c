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
                             double text2TopTwips) {
  StoreIfUsable(current.text1Width, 0.99 * outerWidthTwips);
  StoreIfUsable(current.text2Width, static_cast<double>(current.text1Width));
  StoreIfUsable(current.text2Height, 0.95 * outerHeightTwips - text2TopTwips);
  return current;
}

}  // namespace mibolan::ui
