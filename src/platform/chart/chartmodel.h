#pragma once
// What the chart shows, apart from the widget that shows it: the settings of TChart and the
// series it refers to. The layout step reads only this.

#include <array>
#include <string>
#include <vector>

#include "series.h"

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

struct ChartModel {
  ChartTitle title;
  ChartAxisTitle leftAxisTitle;
  ChartAxisTitle bottomAxisTitle;
  bool legendVisible = true;
  bool view3D = false;
  int percent3D = 15;
  std::array<int, 4> margins{};  // left, top, right, bottom in percent
  std::vector<const TChartSeries*> series;
};
