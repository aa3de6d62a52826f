#pragma once
// The legend: its entries laid out in rows within the room given to it. Internal to the chart
// layout library.

#include <QColor>
#include <QRectF>
#include <QString>
#include <optional>
#include <vector>

#include "chart/layout/chartlayout.h"

namespace chart {

// An entry of the legend: a drawn series, or a point of a pie (LegendItem::entry).
struct LegendEntry {
  QString text;
  QColor color;
  int entry = 0;
  LegendSample sample = LegendSample::Square;
};

// Lays out the legend in `area` and returns the area left for the chart; std::nullopt where not
// every entry fits. With a `total` (of a pie's slices, which may be more than `entries` holds:
// those that can never fit need not be made) a last line may count the entries left out instead.
std::optional<QRectF> LayoutLegend(const std::vector<LegendEntry>& entries, std::size_t total,
                                   QRectF area, Scene& scene, Omissions& omitted);

}  // namespace chart
