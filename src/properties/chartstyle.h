#pragma once
// What a chart style asks for, read once when its record is read: the option check, series
// creation and tarvo-inspect all take the chart's kind from the parsed value.

#include <optional>
#include <string>

#include "chart/model/serieskind.h"

struct ChartStyle {
  std::string text = "NONE";              // as the property table gave it, upper-cased
  std::optional<chart::SeriesKind> kind;  // none: the style names no kind of chart
  // A bar style of exactly two items: the second, the multi-bar mode, not yet read as a number
  // (series creation reads it and names the record where it is not one).
  std::optional<std::string> multiBarItem;
};

// "PIE" and "LINE" as the whole style give pies and lines. A style that contains "BAR" anywhere
// is split at ";": vertical bars where its first item is "VERTBAR", else horizontal bars ("BAR",
// "HBAR", "CROWBAR"). Anything else names no kind. Exact and case-sensitive: the style has been
// upper-cased when it was read.
ChartStyle ParseChartStyle(const std::string& style);
