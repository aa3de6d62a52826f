#pragma once
// The chart window: the chart, the "3D" check box and the "Print Graph" button. Its creation
// handler FormCreate reads both tables and builds the chart.

#include <QWidget>
#include <memory>

class QCheckBox;
class QPushButton;
class TChart;

class TForm1 : public QWidget {
  Q_OBJECT
 public:
  TForm1();
  ~TForm1() override;

  // The creation pass: tables, defaults, properties, series, points, start-up outputs.
  void FormCreate();

  void CheckBox3DClick();

  TChart* Chart1 = nullptr;
  QCheckBox* CheckBox3D = nullptr;
  QPushButton* PrintGraphBtn = nullptr;

 protected:
  // Sees key releases of the window and of every child, before the child does.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormKeyUp(int key);
};

// The chart window, created and destroyed by start-up.
extern std::unique_ptr<TForm1> Form1;
