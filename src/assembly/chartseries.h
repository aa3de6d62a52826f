#pragma once
// One series per data set, in the chart style that the property table asked for.

#include <optional>
#include <string>

#include "chartmodel.h"

class QObject;
class TChart;
class ValueList;
struct ChartOptions;

// What series creation acts on.
struct SeriesTargets {
  TChart& chart;
  QObject& owner;                    // frees the series with the window
  ValueList& valueList;              // the pass's one list: a bar style is split into it
  const std::string& propertyTable;  // names the chart-style record in an error
};

// The series that the options ask for, before any exists.
struct SeriesPlan {
  std::optional<SeriesKind> kind;  // none for a style that names no kind of chart
  int count = 0;
  bool hideMarks = false;  // bar series without "DATALABELS"
  TMultiBar multiBar = 0;  // bar series: the style's second item, its low byte
};

// The plan of CreateDataSetSeries below. A bar style is split into `valueList`; a second item
// that is not an integer throws Exception naming the chart-style record of `propertyTable`.
SeriesPlan PlanDataSetSeries(const ChartOptions& options, ValueList& valueList,
                             const std::string& propertyTable);

// dataSetCount series of the style's class: pies ("PIE"; one pie gets margin 0 set to 5),
// lines ("LINE"), vertical bars (a style containing "BAR" whose first item is "VERTBAR") or
// horizontal bars (any other style containing "BAR"). Bar series get the multi-bar mode of a
// second item when the style has exactly two, and hide their marks unless "DATALABELS". Then
// the data-set colours and titles. A second item that is not an integer throws Exception
// naming the record and the field, before any series exists.
void CreateDataSetSeries(const ChartOptions& options, SeriesTargets& targets);

// Series i takes the colour named by data-set colour i; any other text keeps its colour.
void ApplyDataSetColors(const ChartOptions& options, TChart& chart);

// Series i takes data-set title i where one was given.
void ApplyDataSetTitles(const ChartOptions& options, TChart& chart);
