#pragma once
// The chart's settings before the property records act on them.

#include "chartoptions.h"

class TForm1;

// Chart1's size when the defaults were applied, restored after a bitmap saved at another size.
extern int savedChartHeight;
extern int savedChartWidth;

// Print button visible, options at their defaults, chart size saved, 3D view on at 15 percent
// and orthogonal, legend hidden, the chart title and both axis titles bold.
void ApplyChartDefaults(TForm1& form, ChartOptions& options);
