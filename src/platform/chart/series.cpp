#include "series.h"

#include <utility>

#include "tchart.h"

TChartSeries::TChartSeries(QObject* owner, SeriesKind kind) : QObject(owner) {
  data_.kind = kind;
  data_.marksVisible = MarksVisibleByDefault(kind);
}

TChartSeries::~TChartSeries() {
  if (chart_) chart_->ForgetSeries(this);
}

void TChartSeries::Changed() {
  if (chart_) chart_->Changed();
}

void TChartSeries::SetSeriesColor(TColor color) {
  data_.color = color;
  Changed();
}

void TChartSeries::SetTitle(const std::string& title) {
  data_.title = title;
  Changed();
}

void TChartSeries::SetMarksVisible(bool visible) {
  data_.marksVisible = visible;
  Changed();
}

void TChartSeries::SetMultiBarMode(MultiBar mode) {
  data_.multiBar = mode;
  Changed();
}

// Called for millions of points in a row: no signal, just an append and the label.
void TChartSeries::Add(double value, const std::string& label, TColor color) {
  data_.points.push_back({value, color});
  const std::size_t index = data_.points.size() - 1;
  if (chart_) {
    chart_->TakeLabel(index, label);
  } else {
    StoreCategoryLabel(pendingLabels_, index, label);
  }
}

std::vector<std::string> TChartSeries::JoinChart(TChart* chart, int paletteIndex) {
  chart_ = chart;
  data_.paletteIndex = paletteIndex;
  return std::exchange(pendingLabels_, {});
}

TPieSeries::TPieSeries(QObject* owner) : TChartSeries(owner, SeriesKind::Pie) {}

TLineSeries::TLineSeries(QObject* owner) : TChartSeries(owner, SeriesKind::Line) {}

void TCustomBarSeries::SetMultiBar(TMultiBar number) {
  SetMultiBarMode(MultiBarFromNumber(number));
}

TBarSeries::TBarSeries(QObject* owner) : TCustomBarSeries(owner, SeriesKind::Bar) {}

THorizBarSeries::THorizBarSeries(QObject* owner) : TCustomBarSeries(owner, SeriesKind::HorizBar) {}
