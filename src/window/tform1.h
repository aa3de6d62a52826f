#pragma once
// The chart window: the chart, the "3D" check box and the "Print Graph" button, and the chart's
// right-click menu. Its creation handler FormCreate reads both tables and builds the chart.

#include <QWidget>
#include <memory>
#include <string>

#include "properties/printsettings.h"
#include "window/escapekey.h"

class ChartMenu;
class QCheckBox;
class QPrintDialog;
class QPushButton;
class TChart;

class TForm1 : public QWidget {
  Q_OBJECT
 public:
  // The two tables that the creation pass reads, as start-up was given them.
  explicit TForm1(std::string propertyFileName = {}, std::string dataFileName = {});
  ~TForm1() override;

  // The creation pass: tables, defaults, properties, series, points, start-up outputs.
  void FormCreate();

  void CheckBox3DClick();

  // Prints the chart page with the run's print settings, after the print dialog when
  // they ask for it (declined: nothing happens). The wait cursor shows meanwhile; on every way
  // out no override cursor is left. A printing error goes on to the caller.
  void PrintGraphBtnClick();

  TChart* Chart1 = nullptr;
  QCheckBox* CheckBox3D = nullptr;
  QPushButton* PrintGraphBtn = nullptr;
  // Made when first shown: it needs the printer, which asks the print server.
  QPrintDialog* PrintDialog1 = nullptr;
  // Opens at a right-click on the chart.
  ChartMenu* ChartMenu1 = nullptr;

  // The state of the run, alive as long as the window: the names of the two tables; whether
  // start-up skips showing the window ("NOSHOW", or a refusal); and the print settings that the
  // property pass fills and every click of "Print Graph" prints with.
  std::string propertyFileName;
  std::string dataFileName;
  bool skipRun = false;
  PrintSettings printSettings;

 protected:
  // Sees the keys of the window and of every child, before the child does.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormKeyUp(int key);
  void PlaceOnScreen();
  void CentreOnScreen();
  void CentreOnceFramed();
  void ShowChartMenu(const QPoint& at);
  bool ConfirmPrintDialog();
  // The button's handler: a printing error is reported and the window stays open.
  void PrintGraphBtnClicked();

  // Tells the real releases of Escape pressed in the window.
  EscapeKey escapeKey_;
  // Placed before the first show: centred again once a window manager has framed it.
  bool centreOnceFramed_ = false;
};

// The chart window, created and destroyed by start-up.
extern std::unique_ptr<TForm1> Form1;
