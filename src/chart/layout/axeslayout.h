#pragma once
// A chart on axes (bars and lines) laid out in its area. Internal to the chart layout library.

#include <QRectF>
#include <vector>

#include "chart/layout/chartlayout.h"

namespace chart {

void LayoutAxes(const ChartModel& model, const std::vector<const SeriesModel*>& series, QRectF area,
                ChartLayout& layout);

}  // namespace chart
