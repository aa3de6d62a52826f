#include "startupoutputs.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "chartoptions.h"
#include "tablecheck.h"
#include "tchart.h"

namespace {

// Height first, then width.
void SetChartSize(TChart& chart, int height, int width) {
  chart.SetHeight(height);
  chart.SetWidth(width);
}

void SaveBitmap(const ChartOptions& options, StartupTargets& targets) {
  TChart& chart = targets.chart;
  if (WritesImageFile(options)) {
    SetChartSize(chart, options.bitmapHeight, options.bitmapWidth);
    chart.SaveToBitmapFile(options.bitmapFile);
  }
  // A windowless run keeps the bitmap size: nobody sees the chart again.
  if (!targets.skipRun) {
    SetChartSize(chart, targets.savedChartSize.height, targets.savedChartSize.width);
  }
}

// The window's outer size (with its frame) is what is centred.
void CentreOnScreen(QWidget& window) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  window.move(CentredPosition(screen->size(), window.frameGeometry().size()));
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
  CentreOnScreen(targets.window);
  targets.window.setCursor(Qt::ArrowCursor);
}
