#include "chart/model/palette.h"

#include <array>
#include <cmath>
#include <map>

namespace chart {

namespace {

// Petroff (2021), "Accessible Color Sequences for Data Visualization", ten colours, as RGB.
constexpr std::array<std::uint32_t, 10> kPetroff10 = {0x3f90da, 0xffa90e, 0xbd1f01, 0x94a4a2,
                                                      0x832db6, 0xa96b59, 0xe76300, 0xb9ac70,
                                                      0x717581, 0x92dadd};

constexpr Color FromRgb(std::uint32_t rgb) {
  return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

// Each round of the ten colours in its own shade: as they are, lighter, darker.
constexpr int kRounds = 3;

std::uint32_t Shaded(std::uint32_t rgb, int round) {
  auto channel = [&](int shift) {
    const double c = (rgb >> shift) & 0xFF;
    const double shaded = round == 1 ? c + (255 - c) * 0.5 : (round == 2 ? c * 0.6 : c);
    return static_cast<std::uint32_t>(std::lround(shaded)) << shift;
  };
  return channel(16) | channel(8) | channel(0);
}

bool Automatic(const SeriesModel& series, std::size_t point) {
  return IsAutomaticColor(series.points[point].color) && IsAutomaticColor(series.color);
}

}  // namespace

Color PaletteColor(int index) {
  const auto count = static_cast<int>(kPetroff10.size());
  const int at = index < 0 ? 0 : index % (count * kRounds);
  return FromRgb(Shaded(kPetroff10[static_cast<std::size_t>(at % count)], at / count));
}

namespace {

// A palette colour, from `index` on, that is neither of two others.
Color PaletteColorApartFrom(int index, Color before, Color after) {
  for (int next = index;; ++next) {
    const Color color = PaletteColor(next);
    if (color != before && color != after) return color;
  }
}

}  // namespace

QColor ToQColor(Color color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

Color ResolveSeriesColor(const SeriesModel& series) {
  if (!IsAutomaticColor(series.color)) return series.color;
  return PaletteColor(series.paletteIndex);
}

DrawnColors ColorsDrawn(const SeriesModel& series) {
  struct Tally {
    int count = 0;
    std::size_t first = 0;
  };
  // A point without a colour of its own takes the series' (but a pie's): resolved once. Runs of
  // one colour are tallied at once, so that a million points cost a million comparisons.
  const Color fallback = ResolveSeriesColor(series);
  const bool perPoint = Traits(series.kind).colorPerPoint;
  std::map<Color, Tally> tallies;
  Color run = kAutomaticColor;
  Tally runTally;
  const auto flush = [&] {
    if (runTally.count == 0) return;
    Tally& tally = tallies[run];
    if (tally.count == 0) tally.first = runTally.first;
    tally.count += runTally.count;
  };
  for (std::size_t i = 0; i < series.points.size(); ++i) {
    if (!std::isfinite(series.points[i].value)) continue;
    const Color own = series.points[i].color;
    const Color colour = perPoint                ? ResolvePointColor(series, static_cast<int>(i))
                         : IsAutomaticColor(own) ? fallback
                                                 : own;
    if (runTally.count > 0 && colour == run) {
      ++runTally.count;
      continue;
    }
    flush();
    run = colour;
    runTally = {1, i};
  }
  flush();
  if (tallies.empty()) return {fallback, 1};
  auto most = tallies.begin();
  for (auto it = tallies.begin(); it != tallies.end(); ++it) {
    const bool more = it->second.count > most->second.count;
    const bool earlier =
        it->second.count == most->second.count && it->second.first < most->second.first;
    if (more || earlier) most = it;
  }
  return {most->first, static_cast<int>(tallies.size())};
}

std::vector<Color> PointColors(const SeriesModel& series) {
  const auto& points = series.points;
  std::vector<Color> colors(points.size());
  for (std::size_t i = 0; i < points.size(); ++i) {
    colors[i] = ResolvePointColor(series, static_cast<int>(i));
  }
  if (!Traits(series.kind).colorPerPoint) return colors;
  std::vector<std::size_t> drawn;  // the slices, in their order around the pie
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (std::isfinite(points[i].value) && points[i].value != 0) drawn.push_back(i);
  }
  for (std::size_t k = 1; k < drawn.size(); ++k) {
    const std::size_t i = drawn[k];
    const Color before = colors[drawn[k - 1]];
    const Color after = k + 1 == drawn.size() && k > 1 ? colors[drawn.front()] : before;
    if (Automatic(series, i) && (colors[i] == before || colors[i] == after))
      colors[i] = PaletteColorApartFrom(static_cast<int>(i) + 1, before, after);
  }
  return colors;
}

Color ResolvePointColor(const SeriesModel& series, int pointIndex) {
  const auto& points = series.points;
  if (pointIndex >= 0 && pointIndex < static_cast<int>(points.size())) {
    const Color own = points[static_cast<std::size_t>(pointIndex)].color;
    if (!IsAutomaticColor(own)) return own;
  }
  if (!IsAutomaticColor(series.color)) return series.color;
  return Traits(series.kind).colorPerPoint ? PaletteColor(pointIndex)
                                           : PaletteColor(series.paletteIndex);
}

QColor TopShade(const QColor& color) { return color.lighter(125); }
QColor SideShade(const QColor& color) { return color.darker(135); }
QColor EdgeShade(const QColor& color) { return color.darker(120); }

}  // namespace chart
