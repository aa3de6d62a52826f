#pragma once
// What the chart writes for a series: its values, each data set in its own style, and its name.
// Internal to the chart layout library.

#include <QString>
#include <vector>

#include "chart/layout/chartlayout.h"

namespace chart {

// The style of each drawn series' values: its own decimals, under the value axis' scale note.
std::vector<ValueStyle> DataSetStyles(const std::vector<const SeriesModel*>& series,
                                      const AxisNumbers& axis = {});

// A value of the drawn series `series` as the chart's data labels and tooltips write it.
QString ValueText(const NumberWriting& numbers, int series, double value);

// The name a series shows in the legend and over its pie: its title, else "Series<n>".
QString SeriesName(const SeriesModel& series);

}  // namespace chart
