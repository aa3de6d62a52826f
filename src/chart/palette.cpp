#include "chart/palette.h"

#include <array>

namespace chart {

namespace {

// Petroff (2021), "Accessible Color Sequences for Data Visualization", ten colours, as RGB.
constexpr std::array<std::uint32_t, 10> kPetroff10 = {0x3f90da, 0xffa90e, 0xbd1f01, 0x94a4a2,
                                                      0x832db6, 0xa96b59, 0xe76300, 0xb9ac70,
                                                      0x717581, 0x92dadd};

constexpr TColor FromRgb(std::uint32_t rgb) {
  return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

}  // namespace

TColor PaletteColor(int index) {
  const auto count = static_cast<int>(kPetroff10.size());
  const int slot = index < 0 ? 0 : index % count;
  return FromRgb(kPetroff10[static_cast<std::size_t>(slot)]);
}

QColor ToQColor(TColor color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

TColor ResolveSeriesColor(const SeriesModel& series) {
  if (!IsAutomaticColor(series.color)) return series.color;
  return PaletteColor(series.paletteIndex);
}

TColor ResolvePointColor(const SeriesModel& series, int pointIndex) {
  const auto& points = series.points;
  if (pointIndex >= 0 && pointIndex < static_cast<int>(points.size())) {
    const TColor own = points[static_cast<std::size_t>(pointIndex)].color;
    if (!IsAutomaticColor(own)) return own;
  }
  if (!IsAutomaticColor(series.color)) return series.color;
  return Traits(series.kind).colorPerPoint ? PaletteColor(pointIndex)
                                           : PaletteColor(series.paletteIndex);
}

}  // namespace chart
