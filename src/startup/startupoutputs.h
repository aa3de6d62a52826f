#pragma once
// The last step of the creation pass: the tables are closed and what the property table asked
// for at start-up is done; a run with a window gets its window placed.

#include <QPoint>
#include <QSize>
#include <functional>

#include "startup/chartdefaults.h"

class DbfFile;
struct ChartOptions;
namespace chart {
class ChartDocument;
}

// What the start-up outputs act on.
struct StartupTargets {
  DbfFile& propertyFile;
  DbfFile& dataFile;
  chart::ChartDocument& chart;
  ChartSize savedChartSize;
  bool skipRun;                          // a windowless run: its window is never placed
  std::function<void()> printChartPage;  // the "Print Graph" routine
  std::function<void()> placeWindow;     // centres the window, with the arrow cursor
};

// In this order: closes the data table, then the property table; prints the chart page when
// asked; saves the chart image at the asked height and width when neither is 0, then gives the
// chart its window size back unless the run is windowless; a run with a window ends with its
// window placed. An error of printing or of the image file goes on to the caller at once, so that
// nothing after it is done.
void RunStartupOutputs(const ChartOptions& options, StartupTargets& targets);

// True when the property table asked for an image file of a height and a width other than 0.
bool WritesImageFile(const ChartOptions& options);

// The top-left corner that centres a window of `window` size on a screen of `screen` size; each
// division truncates toward zero, so a window larger than the screen gets a negative position.
QPoint CentredPosition(QSize screen, QSize window);
