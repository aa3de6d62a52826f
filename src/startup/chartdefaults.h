#pragma once
// The chart's settings before the property records act on them.

#include "properties/chartoptions.h"

class WindowEffects;
namespace chart {
class ChartDocument;
}

// The chart's size in the window, restored after a bitmap was saved at another size.
struct ChartSize {
  int height = 0;
  int width = 0;
};

// The chart as the window's design leaves it before any run: a top margin of 2 percent and one
// empty title line. A run without the window starts from it too, so that its image is the same.
void ApplyChartDesign(chart::ChartDocument& chart);

// Print button visible, options at their defaults, 3D view on at 15 percent and orthogonal,
// legend hidden, the chart title and both axis titles bold. Returns the chart's size as it was.
ChartSize ApplyChartDefaults(chart::ChartDocument& chart, WindowEffects& window,
                             ChartOptions& options);
