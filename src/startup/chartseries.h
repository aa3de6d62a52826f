#pragma once
// One series per data set, in the chart style that the property table asked for.

#include <optional>
#include <string>

#include "chart/document/chartdocument.h"

struct ChartOptions;
namespace chart {
class ChartDocument;
}

// The series that the options ask for, before any exists.
struct SeriesPlan {
  std::optional<chart::SeriesKind> kind;  // none for a style that names no kind of chart
  int count = 0;
  bool hideMarks = false;         // bar series without "DATALABELS"
  chart::TMultiBar multiBar = 0;  // bar series: the style's second item, its low byte
};

// The series that the options ask for: dataSetCount series of the kind that the style names
// (ParseChartStyle); bar series take the multi-bar mode of a second item when the style has
// exactly two, and hide their marks unless "DATALABELS". A second item that is not an integer
// throws Exception naming the chart-style record of `propertyTable`.
SeriesPlan PlanDataSetSeries(const ChartOptions& options, const std::string& propertyTable);

// The series of the plan (one pie gets margin 0 set to 5), then the data-set colours and titles.
// The chart keeps the series: the window frees them with itself.
void CreateDataSetSeries(const ChartOptions& options, const SeriesPlan& plan,
                         chart::ChartDocument& chart);

// Series i takes the colour named by data-set colour i; any other text keeps its colour.
void ApplyDataSetColors(const ChartOptions& options, chart::ChartDocument& chart);

// Series i takes data-set title i where one was given.
void ApplyDataSetTitles(const ChartOptions& options, chart::ChartDocument& chart);
