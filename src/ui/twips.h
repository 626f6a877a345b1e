// Positions and sizes given in twips: 1440 to the inch, so 15 to the pixel at 96 dots
// per inch. Qt's logical pixels are 96-dpi pixels scaled by the screen's
// device-pixel ratio, so twips / 15 gives logical pixels on every screen.
#pragma once

#include <QRect>

namespace ui {

inline constexpr int kTwipsPerPixel = 15;

constexpr QRect Twips(int left, int top, int width, int height) {
  return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel, height / kTwipsPerPixel};
}

}  // namespace ui
