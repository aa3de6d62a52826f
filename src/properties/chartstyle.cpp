#include "chartstyle.h"

ChartStyleKind ChartStyleOf(std::string_view style) {
  if (style == "PIE") return ChartStyleKind::Pie;
  if (style == "LINE") return ChartStyleKind::Line;
  if (style.find("BAR") != std::string_view::npos) return ChartStyleKind::Bars;
  return ChartStyleKind::Unknown;
}
