#pragma once
// Chart series: a class (pie, line, vertical or horizontal bars), a colour, a title, marks and
// points. A series is owned by the QObject given to its constructor (the chart window), and
// the chart only refers to it.

#include <QObject>
#include <string>
#include <vector>

#include "tcolor.h"

enum class SeriesKind { Pie, Line, Bar, HorizBar };

// How several bar series share a category: 0 none, 1 side by side, 2 stacked, 3 stacked to
// 100 percent; any other number acts as 0.
using TMultiBar = std::uint8_t;

struct ChartPoint {
  double value = 0;
  std::string label;
  TColor color = clAutomatic;
};

struct SeriesMarks {
  bool visible = true;
  void SetVisible(bool value) { visible = value; }
  bool Visible() const { return visible; }
};

class TChartSeries : public QObject {
  Q_OBJECT
 public:
  SeriesKind Kind() const { return kind_; }

  TColor SeriesColor() const { return color_; }
  void SetSeriesColor(TColor color);

  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title);

  SeriesMarks& Marks() { return marks_; }
  const SeriesMarks& Marks() const { return marks_; }

  // Appends one point after the earlier ones.
  void Add(double value, const std::string& label, TColor color);
  const std::vector<ChartPoint>& Points() const { return points_; }

  // Position in the chart's list, for the palette colour; set by TChart::AddSeries.
  int PaletteIndex() const { return paletteIndex_; }
  void SetPaletteIndex(int index);

 signals:
  void Changed();

 protected:
  TChartSeries(QObject* owner, SeriesKind kind);

 private:
  SeriesKind kind_;
  TColor color_;
  std::string title_;
  SeriesMarks marks_;
  std::vector<ChartPoint> points_;
  int paletteIndex_ = 0;
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
  void SetMultiBar(TMultiBar mode);
  TMultiBar MultiBar() const { return multiBar_; }

 protected:
  using TChartSeries::TChartSeries;

 private:
  TMultiBar multiBar_ = 0;
};

class TBarSeries : public TCustomBarSeries {
 public:
  explicit TBarSeries(QObject* owner);
};

class THorizBarSeries : public TCustomBarSeries {
 public:
  explicit THorizBarSeries(QObject* owner);
};
