#pragma once
// The chart's settings before the property records act on them.

#include "chartoptions.h"

class QPushButton;
class TChart;

// The chart's size in the window, restored after a bitmap was saved at another size.
struct ChartSize {
  int height = 0;
  int width = 0;
};

// Print button visible, options at their defaults, 3D view on at 15 percent and orthogonal,
// legend hidden, the chart title and both axis titles bold. Returns the chart's size as it was.
ChartSize ApplyChartDefaults(TChart& chart, QPushButton& printButton, ChartOptions& options);
