#include "startup/startupoutputs.h"

#include "chart/document/chartdocument.h"
#include "dbf/tablecheck.h"
#include "properties/chartoptions.h"

namespace {

// Height first, then width.
void SetChartSize(chart::ChartDocument& chart, int height, int width) {
  chart.SetHeight(height);
  chart.SetWidth(width);
}

void SaveBitmap(const ChartOptions& options, StartupTargets& targets) {
  chart::ChartDocument& chart = targets.chart;
  if (WritesImageFile(options)) {
    SetChartSize(chart, options.bitmapHeight, options.bitmapWidth);
    chart.SaveToBitmapFile(options.bitmapFile);
  }
  // A windowless run keeps the bitmap size: nobody sees the chart again.
  if (!targets.skipRun) {
    SetChartSize(chart, targets.savedChartSize.height, targets.savedChartSize.width);
  }
}

}  // namespace

bool WritesImageFile(const ChartOptions& options) {
  return options.saveBitmap && options.bitmapHeight != 0 && options.bitmapWidth != 0;
}

QPoint CentredPosition(QSize screen, QSize window) {
  return QPoint((screen.width() - window.width()) / 2, (screen.height() - window.height()) / 2);
}

void RunStartupOutputs(const ChartOptions& options, StartupTargets& targets) {
  CloseTables(targets.propertyFile, targets.dataFile);
  if (options.printAtStart && targets.printChartPage) targets.printChartPage();
  if (options.saveBitmap) SaveBitmap(options, targets);
  if (targets.skipRun) return;
  if (targets.placeWindow) targets.placeWindow();
}
