#pragma once
// The chart's right-click menu: copies the chart to the clipboard as an image, or saves it as a
// PNG, SVG or PDF file chosen in a file dialog, written as the image files of the property
// table are (atomically; a failure is reported and nothing is left behind).

#include <QMenu>
#include <QString>

class QAction;
class TChart;

class ChartMenu : public QMenu {
  Q_OBJECT
 public:
  ChartMenu(TChart& chart, QWidget* parent);

  // The chart as it is shown, at its size in the window.
  void CopyChart();
  // Asks for a file name; declined, nothing happens. A failed write is reported.
  void SaveChartAs();

  QAction* CopyAction = nullptr;
  QAction* SaveAction = nullptr;

 private:
  TChart& chart_;
};
