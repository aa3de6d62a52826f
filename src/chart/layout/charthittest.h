#pragma once
// What lies under a point of a drawn chart: a bar, a pie slice or a point of a line, found from
// the chart's layout alone: its plot geometry, and for a text its scene. The window shows it in a
// tooltip.

#include <QPointF>
#include <QString>
#include <optional>

#include "chart/layout/chartlayout.h"

namespace chart {

struct ChartHit {
  int series = 0;  // index in the model's series
  int point = 0;
};

// The marks of each kind of series on axes, those drawn last first: a line point within a few
// pixels (lines are drawn over bars, and a point is the smallest target), then the nearest bar
// that covers `at` (a 3D bar with its top and side); then a pie slice (its top, or in 3D its
// edge).
std::optional<ChartHit> HitTest(const PlotGeometry& geometry, QPointF at);

// The whole text of a text that the layout shortened or wrapped and that lies under `at` (a title
// line, an axis title, a label, a legend entry, a mark); empty where there is none.
QString WholeTextAt(const Scene& scene, QPointF at);

// What a tooltip says of a hit: the series' title as its legend shows it, and "label: value", or
// the value alone where the point has no label.
struct HitDescription {
  QString series;
  QString point;
};
// Empty texts where the model has no such series or point. The value is written as the chart's
// data labels write it (the layout's locale and style).
HitDescription DescribeHit(const ChartModel& model, const ChartLayout& layout, const ChartHit& hit);

}  // namespace chart
