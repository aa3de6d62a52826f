#include "properties/chartstyle.h"

#include "properties/valuelist.h"

using chart::SeriesKind;

ChartStyle ParseChartStyle(const std::string& style) {
  if (style == "PIE") return {SeriesKind::Pie, std::nullopt};
  if (style == "LINE") return {SeriesKind::Line, std::nullopt};
  if (style.find("BAR") == std::string::npos) return {};
  ValueList items;  // a style holding "BAR" is never empty, so the split cannot fail
  const int count = SplitValueList(style, items);
  ChartStyle parsed;
  parsed.kind = items.Entry(1) == "VERTBAR" ? SeriesKind::Bar : SeriesKind::HorizBar;
  if (count == 2) parsed.multiBarItem = items.Entry(2);
  return parsed;
}
