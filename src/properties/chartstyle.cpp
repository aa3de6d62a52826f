#include "properties/chartstyle.h"

#include "properties/valuelist.h"

using chart::SeriesKind;

ChartStyle ParseChartStyle(const std::string& style) {
  ChartStyle parsed;
  parsed.text = style;
  if (style == "PIE") parsed.kind = SeriesKind::Pie;
  if (style == "LINE") parsed.kind = SeriesKind::Line;
  if (parsed.kind || style.find("BAR") == std::string::npos) return parsed;
  ValueList items;  // a style holding "BAR" is never empty, so the split cannot fail
  const int count = SplitValueList(style, items);
  parsed.kind = items.Entry(1) == "VERTBAR" ? SeriesKind::Bar : SeriesKind::HorizBar;
  if (count == 2) parsed.multiBarItem = items.Entry(2);
  return parsed;
}
