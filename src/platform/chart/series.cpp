#include "series.h"

TChartSeries::TChartSeries(QObject* owner, SeriesKind kind)
    : QObject(owner), kind_(kind), color_(clAutomatic) {}

void TChartSeries::SetSeriesColor(TColor color) {
  color_ = color;
  emit Changed();
}

void TChartSeries::SetTitle(const std::string& title) {
  title_ = title;
  emit Changed();
}

void TChartSeries::Add(double value, const std::string& label, TColor color) {
  points_.push_back({value, label, color});
  emit Changed();
}

void TChartSeries::SetPaletteIndex(int index) { paletteIndex_ = index; }

TPieSeries::TPieSeries(QObject* owner) : TChartSeries(owner, SeriesKind::Pie) {}

TLineSeries::TLineSeries(QObject* owner) : TChartSeries(owner, SeriesKind::Line) {
  Marks().SetVisible(false);
}

void TCustomBarSeries::SetMultiBar(TMultiBar mode) {
  multiBar_ = mode;
  emit Changed();
}

TBarSeries::TBarSeries(QObject* owner) : TCustomBarSeries(owner, SeriesKind::Bar) {}

THorizBarSeries::THorizBarSeries(QObject* owner) : TCustomBarSeries(owner, SeriesKind::HorizBar) {}
