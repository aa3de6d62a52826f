#include "chart/document/chartdocument.h"

#include <QPaintDevice>
#include <QPainter>
#include <QRect>

#include "chart/export/chartimagefile.h"
#include "chart/model/palette.h"
#include "chart/render/chartpainter.h"
#include "runtime/errors.h"

namespace chart {

namespace {

constexpr int kMaxBitmapSide = 32767;

// Checked before allocating: Linux promises memory it may not have, and the BMP writer keeps
// its sizes in 32 bits. Vector files get the same limits, so that a size is refused or written
// whatever the format.
void CheckBitmapSize(const std::string& fileName, int width, int height) {
  const std::string size = std::to_string(width) + " x " + std::to_string(height);
  if (width < 1 || height < 1) {
    throw Exception("Cannot write " + fileName + ": the chart has no area (" + size + " pixels)");
  }
  if (width > kMaxBitmapSide || height > kMaxBitmapSide ||
      static_cast<long long>(width) * height > ChartDocument::kMaxBitmapPixels) {
    throw Exception("Cannot write " + fileName + ": " + size +
                    " pixels is too large for an image (at most 32767 per side and " +
                    std::to_string(ChartDocument::kMaxBitmapPixels / (1024 * 1024)) +
                    " megapixels in all)");
  }
}

}  // namespace

const SeriesModel& ChartSeries::Data() const { return document_->model_.series[index_]; }

SeriesModel& ChartSeries::Edit() { return document_->model_.series[index_]; }

void ChartSeries::SetSeriesColor(Color color) {
  Edit().color = color;
  document_->Changed();
}

void ChartSeries::SetTitle(const std::string& title) {
  Edit().title = title;
  document_->Changed();
}

void ChartSeries::SetMarksVisible(bool visible) {
  Edit().dataLabelsVisible = visible;
  document_->Changed();
}

void ChartSeries::SetMultiBar(TMultiBar number) {
  Edit().barGrouping = BarGroupingFromNumber(number);
  document_->Changed();
}

// Called for millions of points in a row: an append and the label, and one call to the viewer.
void ChartSeries::Add(double value, const std::string& label, Color color) {
  std::vector<ChartPoint>& points = Edit().points;
  points.push_back({value, color});
  StoreCategoryLabel(document_->model_.labels, points.size() - 1, label);
  document_->Changed();
}

ChartDocument::ChartDocument() : width_(kWindowChartWidth), height_(kWindowChartHeight) {}

void ChartDocument::Changed() {
  if (listener_) listener_();
}

void ChartDocument::SetWidth(int width) { width_ = width; }

void ChartDocument::SetHeight(int height) { height_ = height; }

void ChartDocument::SetView3D(bool on) {
  model_.view3D = on;
  Changed();
}

void ChartDocument::Set3DPercent(int percent) {
  model_.percent3D = percent;
  Changed();
}

void ChartDocument::SetNumberLocale(const NumberLocale& numbers) {
  model_.numbers = numbers;
  Changed();
}

void ChartDocument::SetOrthogonal(bool on) {
  model_.orthogonal = on;
  Changed();
}

void ChartDocument::SetLegendVisible(bool visible) {
  model_.legendVisible = visible;
  Changed();
}

void ChartDocument::AddTitleLine(const std::string& line) {
  model_.title.lines.push_back(line);
  Changed();
}

void ChartDocument::SetTitleFontStyle(FontStyle style) {
  model_.title.font = style;
  Changed();
}

void ChartDocument::SetLeftAxisTitle(const std::string& caption) {
  model_.leftAxisTitle.caption = caption;
  Changed();
}

void ChartDocument::SetLeftAxisTitleFontStyle(FontStyle style) {
  model_.leftAxisTitle.font = style;
  Changed();
}

void ChartDocument::SetBottomAxisTitle(const std::string& caption) {
  model_.bottomAxisTitle.caption = caption;
  Changed();
}

void ChartDocument::SetBottomAxisTitleFontStyle(FontStyle style) {
  model_.bottomAxisTitle.font = style;
  Changed();
}

void ChartDocument::SetMargin(int index, int percent) {
  if (index < 0 || index >= static_cast<int>(model_.margins.size())) return;
  model_.margins[static_cast<std::size_t>(index)] = percent;
  Changed();
}

int ChartDocument::Margin(int index) const {
  if (index < 0 || index >= static_cast<int>(model_.margins.size())) return 0;
  return model_.margins[static_cast<std::size_t>(index)];
}

ChartSeries ChartDocument::AddSeries(SeriesKind kind) {
  SeriesModel& series = model_.series.emplace_back();
  series.kind = kind;
  series.dataLabelsVisible = Traits(kind).dataLabelsByDefault;
  series.paletteIndex = SeriesCount() - 1;
  if (!Traits(kind).colorPerPoint) series.color = PaletteColor(series.paletteIndex);
  Changed();
  return ChartSeries(*this, model_.series.size() - 1);
}

ChartSeries ChartDocument::GetSeries(int index) {
  if (index < 0 || index >= SeriesCount()) {
    throw Exception("List index out of bounds (" + std::to_string(index) + ")");
  }
  return ChartSeries(*this, static_cast<std::size_t>(index));
}

void ChartDocument::SaveToBitmapFile(const std::string& fileName) const {
  CheckBitmapSize(fileName, width_, height_);
  WriteChartImageFile(model_, QSize(width_, height_), fileName);
}

void ChartDocument::PrintPartial(QPainter& painter, const QRect& rect) const {
  if (!painter.isActive() || rect.width() <= 0 || rect.height() <= 0) return;
  const QPaintDevice* device = painter.device();
  const double scale = device && device->logicalDpiX() > 0 ? device->logicalDpiX() / 96.0 : 1.0;
  // The chart is laid out at the resolution across; a device with another resolution down
  // gets the difference from the painter, so that texts and pens keep their size both ways.
  const double stretch =
      device && device->logicalDpiY() > 0 ? device->logicalDpiY() / 96.0 / scale : 1.0;
  painter.save();
  painter.translate(rect.topLeft());
  painter.scale(1, stretch);
  RenderChart(painter, model_, QRectF(0, 0, rect.width(), rect.height() / stretch), scale);
  painter.restore();
}

}  // namespace chart
