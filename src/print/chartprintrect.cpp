#include "print/chartprintrect.h"

#include "properties/printsettings.h"

namespace {

std::int64_t PercentOf(int size, int percent) {
  return static_cast<std::int64_t>(size) * percent / 100;
}

}  // namespace

ChartPrintRect MakeChartPrintRect(int pageWidth, int pageHeight, const PrintSettings& settings) {
  ChartPrintRect rect;
  rect.left = PercentOf(pageWidth, settings.leftMargin);
  rect.top = PercentOf(pageHeight, settings.topMargin);
  // The distance from the far edge is truncated, then taken off: W = 961 with 5 % gives 913.
  rect.right = pageWidth - PercentOf(pageWidth, settings.rightMargin);
  rect.bottom = pageHeight - PercentOf(pageHeight, settings.bottomMargin);
  return rect;
}
