// Colours of the rendering tests and the pixels that show them.

#pragma once

#include <QImage>
#include <QPointF>

#include "chart/model/palette.h"

namespace chart {

inline constexpr Color kRed = 0x0000FF;  // 0x00BBGGRR
inline constexpr Color kGreen = 0x00FF00;

inline QRgb PixelAt(const QImage& image, QPointF at) {
  return image.pixel(static_cast<int>(at.x()), static_cast<int>(at.y())) & 0xFFFFFF;
}

inline long PixelsOf(const QImage& image, QRgb color) {
  long count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) count += (image.pixel(x, y) & 0xFFFFFF) == color;
  }
  return count;
}

}  // namespace chart
