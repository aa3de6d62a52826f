#pragma once
// Chart series: a class (pie, line, vertical or horizontal bars), a colour, a title, marks and
// points, held as a SeriesModel. A series is owned by the QObject given to its constructor (the
// chart window); a chart refers to it. The labels given with the points go to the chart, which
// keeps one list for all its series.

#include <QObject>
#include <string>
#include <vector>

#include "chartmodel.h"
#include "tcolor.h"

class TChart;

class TChartSeries : public QObject {
  Q_OBJECT
 public:
  ~TChartSeries() override;

  SeriesKind Kind() const { return data_.kind; }

  TColor SeriesColor() const { return data_.color; }
  void SetSeriesColor(TColor color);

  const std::string& Title() const { return data_.title; }
  void SetTitle(const std::string& title);

  void SetMarksVisible(bool visible);
  bool MarksVisible() const { return data_.marksVisible; }

  // Appends one point after the earlier ones; the label is kept by the chart (see
  // StoreCategoryLabel), or by the series until it is added to one.
  void Add(double value, const std::string& label, TColor color);
  const std::vector<ChartPoint>& Points() const { return data_.points; }

  const SeriesModel& Data() const { return data_; }

 protected:
  TChartSeries(QObject* owner, SeriesKind kind);
  void SetMultiBarMode(MultiBar mode);

 private:
  friend class TChart;
  // Called by TChart::AddSeries: returns the labels given so far, which the chart now keeps.
  std::vector<std::string> JoinChart(TChart* chart, int paletteIndex);
  void LeaveChart() { chart_ = nullptr; }
  void Changed();

  SeriesModel data_;
  TChart* chart_ = nullptr;
  std::vector<std::string> pendingLabels_;  // labels given before the series joined a chart
};

class TPieSeries : public TChartSeries {
 public:
  explicit TPieSeries(QObject* owner);
};

class TLineSeries : public TChartSeries {
 public:
  explicit TLineSeries(QObject* owner);
};

class TCustomBarSeries : public TChartSeries {
 public:
  // Stores MultiBarFromNumber(number).
  void SetMultiBar(TMultiBar number);
  ::MultiBar MultiBar() const { return Data().multiBar; }

 protected:
  using TChartSeries::TChartSeries;
};

class TBarSeries : public TCustomBarSeries {
 public:
  explicit TBarSeries(QObject* owner);
};

class THorizBarSeries : public TCustomBarSeries {
 public:
  explicit THorizBarSeries(QObject* owner);
};
