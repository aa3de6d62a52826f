#pragma once
// The window's chart control: a widget that shows a chart document at its size. The creation pass
// builds the document through Document(); whatever changes it, the widget repaints once. A
// tooltip names the bar, slice or line point under the pointer, or shows whole a text that the
// chart shortened.

#include <QWidget>

#include "chart/document/chartdocument.h"

class QHelpEvent;

class TChart : public QWidget {
  Q_OBJECT
 public:
  explicit TChart(QWidget* parent = nullptr);

  chart::ChartDocument& Document() { return document_; }
  const chart::ChartDocument& Document() const { return document_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  // The document's size follows the widget's: the chart's image is written at its size in the
  // window unless the creation pass asks for another.
  void resizeEvent(QResizeEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void Changed();
  void ShowPointTip(const QHelpEvent& help);

  chart::ChartDocument document_;
  bool repaintPending_ = false;
};
