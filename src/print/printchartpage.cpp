#include "print/printchartpage.h"

#include <QFontDatabase>
#include <QRect>
#include <QStringList>
#include <algorithm>

#include "chart/document/chartdocument.h"
#include "chart/layout/chartfont.h"
#include "platform/printer/tprinter.h"
#include "print/chartprintrect.h"
#include "print/pagetextstyle.h"
#include "properties/printsettings.h"
#include "runtime/text.h"

namespace {

// Whether the font list holds the family by its own name: neither an alias of the font
// configuration ("Arial" for a metric twin, or whatever a configuration puts first) nor the
// generic names, which stand for the configuration's choice.
bool InstalledFamily(const QString& family) {
  static const QStringList kGeneric{"Sans Serif", "Serif", "Monospace"};
  if (family.trimmed().isEmpty() || kGeneric.contains(family, Qt::CaseInsensitive)) return false;
  return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

// The family a page text names where it is installed, else the chart's own: the page then
// looks the same whatever family the font configuration would have put in its place.
// Characters the family lacks come from the fonts fontconfig answers for them.
std::string PageTextFamily(const std::string& named) {
  if (InstalledFamily(ToDisplayText(named))) return named;
  return chart::ChartFontFamily().toStdString();
}

void PrintPageTexts(TPrinter& printer, const PrintSettings& settings) {
  const int count = std::clamp(settings.pageTextCount, 0, PrintSettings::kMaxPageTexts);
  for (int i = 0; i < count; ++i) {
    const PageTextItem& item = settings.pageTexts[std::size_t(i)];
    printer.SetFontName(PageTextFamily(item.fontName));
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
