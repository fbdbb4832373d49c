#pragma once

// How the main window's two text boxes follow the window's outer size.

namespace mibolan::ui {

// The sizes the rule changes, in twips, kept in single precision like every control size.
struct TextBoxSizes {
  float inputWidth;
  float outputWidth;
  float outputHeight;
};

// The input box takes 0.99 of the outer width, the output box the same width and the height
// down to 0.95 of the outer height. Each step stands alone: one whose result would be negative,
// or is not a number, leaves its size as it was and the next step still runs.
TextBoxSizes ApplyResizeRule(TextBoxSizes current, double outerWidthTwips, double outerHeightTwips,
                             double outputTopTwips);

}  // namespace mibolan::ui
