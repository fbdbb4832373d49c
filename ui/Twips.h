#pragma once

// Window geometry is designed in twips; the toolkit lays out in device-independent pixels,
// so its own high-DPI scaling keeps the designed proportions on every screen.

namespace mibolan::ui {

inline constexpr double kTwipsPerPixel = 15.0;

// Nearest whole pixel; designed twips are not always multiples of 15 (1340 -> 89).
constexpr int ToPixels(double twips) {
  const double pixels = twips / kTwipsPerPixel;
  return static_cast<int>(pixels < 0 ? pixels - 0.5 : pixels + 0.5);
}

constexpr double ToTwips(int pixels) { return pixels * kTwipsPerPixel; }

}  // namespace mibolan::ui
