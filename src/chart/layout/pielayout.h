#pragma once
// A chart of pies laid out in its area: the discs, their slices and their labels. Internal to
// the chart layout library.

#include <QRectF>
#include <vector>

#include "chart/layout/chartlayout.h"

namespace chart {

void LayoutPies(const ChartModel& model, const std::vector<const SeriesModel*>& pies, QRectF area,
                ChartLayout& layout);

}  // namespace chart
