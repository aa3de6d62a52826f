#pragma once
// What the chart shows, as plain values: the chart's settings, its category labels and its
// series with their points, all owned here. The layout reads only this, so a test builds a chart
// in a few lines, and any thread lays out and draws its own.

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "chart/model/color.h"
#include "chart/model/numberformat.h"
#include "chart/model/serieskind.h"

namespace chart {

// The chart's size in a new window: a document starts at it, and an image file scales its texts
// against it.
inline constexpr int kWindowChartWidth = 585;
inline constexpr int kWindowChartHeight = 401;

enum class BarGrouping : std::uint8_t { None = 0, SideBySide = 1, Stacked = 2, Stacked100 = 3 };

// 1, 2 and 3 name a mode; any other number acts as None.
BarGrouping BarGroupingFromNumber(std::uint8_t number);

struct ChartPoint {
  double value = 0;
  Color color = kAutomaticColor;
};

struct SeriesModel {
  SeriesKind kind = SeriesKind::Bar;
  Color color = kAutomaticColor;
  std::string title;
  bool dataLabelsVisible = true;
  BarGrouping barGrouping = BarGrouping::None;  // read from bar series only
  int paletteIndex = 0;                         // position in the chart, for the palette colours
  std::vector<ChartPoint> points;
};

// Category labels are kept once per chart: label k belongs to point k of every series. The
// first non-empty label given for k wins; a later one never replaces it.
void StoreCategoryLabel(std::vector<std::string>& labels, std::size_t index,
                        const std::string& label);

struct FontStyle {
  bool bold = false;
  bool italic = false;
};

struct ChartTitle {
  std::vector<std::string> lines;
  FontStyle font;
};

struct ChartAxisTitle {
  std::string caption;
  FontStyle font;
};

// One chart. The series are kept in a deque, so that a reference to one stays valid as more
// are added.
struct ChartModel {
  ChartTitle title;
  ChartAxisTitle leftAxisTitle;
  ChartAxisTitle bottomAxisTitle;
  bool legendVisible = true;
  bool view3D = false;
  int percent3D = 15;
  // The only projection drawn is the orthogonal oblique one: the flag is kept as it was set
  // and has no other effect.
  bool orthogonal = true;
  std::array<int, 4> margins{};  // left, top, right, bottom in percent
  std::vector<std::string> labels;
  std::deque<SeriesModel> series;
  NumberLocale numbers;  // how the reader writes numbers
};

// A chart is of the kind of its first series: a chart of pies draws its pies only, any other
// chart its other series on axes, turned where the first series is horizontal. A chart without
// series has axes, as one of vertical bars.
SeriesKind ChartKindOf(const ChartModel& model);

// How the series that share a category slot (bars) share it: the mode of the first of them.
BarGrouping BarGroupingOf(const std::vector<const SeriesModel*>& series);

// The 3D percent as a share (0 to 1), 0 in the flat view.
double Depth3DShare(const ChartModel& model);

}  // namespace chart
