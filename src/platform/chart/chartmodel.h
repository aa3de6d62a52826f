#pragma once
// What the chart shows, as plain values apart from the widget that shows it: the chart's
// settings, its category labels and the data of its series. The layout reads only this, so a
// test builds a chart in a few lines without a widget.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "tcolor.h"

enum class SeriesKind { Pie, Line, Bar, HorizBar };

// Marks (value labels) are shown by default on pie and bar series, hidden on line series.
constexpr bool MarksVisibleByDefault(SeriesKind kind) { return kind != SeriesKind::Line; }

// The number that tells the chart how several bar series share a category.
using TMultiBar = std::uint8_t;

enum class MultiBar : std::uint8_t { None = 0, SideBySide = 1, Stacked = 2, Stacked100 = 3 };

// 1, 2 and 3 name a mode; any other number acts as None.
MultiBar MultiBarFromNumber(std::uint8_t number);

struct ChartPoint {
  double value = 0;
  TColor color = clAutomatic;
};

struct SeriesModel {
  SeriesKind kind = SeriesKind::Bar;
  TColor color = clAutomatic;
  std::string title;
  bool marksVisible = true;
  MultiBar multiBar = MultiBar::None;  // read from bar series only
  int paletteIndex = 0;                // position in the chart, for the palette colours
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

// A view of one chart: `labels` and `series` point into data that the model does not own, so
// a model is valid only while that data is unchanged.
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
  std::span<const std::string> labels;
  std::vector<const SeriesModel*> series;
};
