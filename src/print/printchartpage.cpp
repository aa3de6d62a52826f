#include "print/printchartpage.h"

#include <QRect>
#include <algorithm>

#include "chart/chartdocument.h"
#include "platform/printer/tprinter.h"
#include "print/chartprintrect.h"
#include "print/pagetextstyle.h"
#include "properties/printsettings.h"

namespace {

void PrintPageTexts(TPrinter& printer, const PrintSettings& settings) {
  const int count = std::clamp(settings.pageTextCount, 0, PrintSettings::kMaxPageTexts);
  for (int i = 0; i < count; ++i) {
    const PageTextItem& item = settings.pageTexts[std::size_t(i)];
    printer.SetFontName(item.fontName);
    printer.SetFontSize(item.fontSize);
    const PageTextStyle style = StyleFromLetters(item.fontStyle);
    printer.SetFontStyle(style.bold, style.italic);
    printer.TextOut(item.x, item.y, item.text);
  }
}

// A rectangle with room in it lies within the page and so fits a QRect; one without room
// reaches the chart as an empty rectangle, where it draws nothing.
QRect DeviceRect(const ChartPrintRect& rect) {
  if (rect.IsEmpty()) return QRect();
  return QRect(int(rect.left), int(rect.top), int(rect.right - rect.left),
               int(rect.bottom - rect.top));
}

}  // namespace

void PrintChartPage(TPrinter& printer, const chart::ChartDocument& chart,
                    const PrintSettings& settings) {
  printer.BeginDoc();
  try {
    PrintPageTexts(printer, settings);
    const int height = printer.PageHeight();
    const int width = printer.PageWidth();
    chart.PrintPartial(printer.Canvas(), DeviceRect(MakeChartPrintRect(width, height, settings)));
    printer.EndDoc();
  } catch (...) {
    printer.Abort();
    throw;
  }
}
