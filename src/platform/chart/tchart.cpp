#include "tchart.h"

#include <QPainter>

#include "runtime.h"

TChart::TChart(QWidget* parent) : QWidget(parent) {}

TChart::~TChart() = default;

void TChart::Changed() { update(); }

void TChart::SetView3D(bool on) {
  view3D_ = on;
  Changed();
}

void TChart::Set3DPercent(int percent) {
  percent3D_ = percent;
  Changed();
}

void TChart::SetOrthogonal(bool on) {
  orthogonal_ = on;
  Changed();
}

void TChart::SetLegendVisible(bool visible) {
  legendVisible_ = visible;
  Changed();
}

void TChart::AddTitleLine(const std::string& line) {
  title_.lines.push_back(line);
  Changed();
}

void TChart::SetTitleFontStyle(FontStyle style) {
  title_.font = style;
  Changed();
}

void TChart::SetLeftAxisTitle(const std::string& caption) {
  leftAxisTitle_.caption = caption;
  Changed();
}

void TChart::SetLeftAxisTitleFontStyle(FontStyle style) {
  leftAxisTitle_.font = style;
  Changed();
}

void TChart::SetBottomAxisTitle(const std::string& caption) {
  bottomAxisTitle_.caption = caption;
  Changed();
}

void TChart::SetBottomAxisTitleFontStyle(FontStyle style) {
  bottomAxisTitle_.font = style;
  Changed();
}

void TChart::SetMargin(int index, int percent) {
  if (index < 0 || index >= static_cast<int>(margins_.size())) return;
  margins_[index] = percent;
  Changed();
}

int TChart::Margin(int index) const {
  if (index < 0 || index >= static_cast<int>(margins_.size())) return 0;
  return margins_[index];
}

void TChart::AddSeries(TChartSeries* series) {
  series->SetPaletteIndex(SeriesCount());
  series_.push_back(series);
  connect(series, &TChartSeries::Changed, this, &TChart::Changed);
  connect(series, &QObject::destroyed, this, [this, series] { std::erase(series_, series); });
  Changed();
}

TChartSeries* TChart::GetSeries(int index) const {
  if (index < 0 || index >= SeriesCount()) {
    throw Exception("List index out of bounds (" + std::to_string(index) + ")");
  }
  return series_[index];
}

void TChart::SaveToBitmapFile(const std::string& fileName) const {
  throw Exception("Cannot write " + fileName + ": the chart cannot be drawn yet");
}

void TChart::PrintPartial(QPainter&, const QRect&) const {}

void TChart::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
}
