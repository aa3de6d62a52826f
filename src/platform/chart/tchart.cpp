#include "tchart.h"

#include <QHelpEvent>
#include <QPaintDevice>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

#include "charthittest.h"
#include "chartimagefile.h"
#include "chartlayout.h"
#include "chartpainter.h"
#include "palette.h"
#include "runtime.h"

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
      static_cast<long long>(width) * height > TChart::kMaxBitmapPixels) {
    throw Exception("Cannot write " + fileName + ": " + size +
                    " pixels is too large for an image (at most 32767 per side and " +
                    std::to_string(TChart::kMaxBitmapPixels / (1024 * 1024)) +
                    " megapixels in all)");
  }
}

}  // namespace

TChart::TChart(QWidget* parent) : QWidget(parent) {}

// Series that outlive the chart no longer report to it.
TChart::~TChart() {
  for (TChartSeries* series : series_) series->LeaveChart();
}

// Points come in by the millions: while a repaint is pending, a change needs no further call.
// A hidden widget gets no repaint until it is shown, and showing it paints it anyway.
void TChart::Changed() {
  if (repaintPending_) return;
  repaintPending_ = true;
  update();
}

// QWidget::resize bounds a size to what a widget can take; the asked size is kept beside it, for
// as long as the widget still has the size it was given for it.
void TChart::SetWidth(int width) {
  askedWidth_ = width;
  resize(width, height());
}

void TChart::SetHeight(int height) {
  askedHeight_ = height;
  resize(width(), height);
}

int TChart::Width() const {
  const bool kept =
      askedWidth_ && std::clamp(*askedWidth_, minimumWidth(), maximumWidth()) == width();
  return kept ? *askedWidth_ : width();
}

int TChart::Height() const {
  const bool kept =
      askedHeight_ && std::clamp(*askedHeight_, minimumHeight(), maximumHeight()) == height();
  return kept ? *askedHeight_ : height();
}

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
  if (!series) throw Exception("Cannot add a series that does not exist");
  if (std::find(series_.begin(), series_.end(), series) != series_.end()) return;
  if (series->chart_) throw Exception("Cannot add a series that is already in another chart");
  const std::vector<std::string> labels = series->JoinChart(this, SeriesCount());
  for (std::size_t i = 0; i < labels.size(); ++i) StoreCategoryLabel(labels_, i, labels[i]);
  if (series->Kind() != SeriesKind::Pie && IsAutomaticColor(series->SeriesColor())) {
    series->SetSeriesColor(PaletteColor(series->Data().paletteIndex));
  }
  series_.push_back(series);
  Changed();
}

TChartSeries* TChart::GetSeries(int index) const {
  if (index < 0 || index >= SeriesCount()) {
    throw Exception("List index out of bounds (" + std::to_string(index) + ")");
  }
  return series_[index];
}

void TChart::TakeLabel(std::size_t index, const std::string& label) {
  StoreCategoryLabel(labels_, index, label);
  Changed();
}

void TChart::ForgetSeries(TChartSeries* series) {
  std::erase(series_, series);
  Changed();
}

ChartModel TChart::Model() const {
  ChartModel model;
  model.title = title_;
  model.leftAxisTitle = leftAxisTitle_;
  model.bottomAxisTitle = bottomAxisTitle_;
  model.legendVisible = legendVisible_;
  model.view3D = view3D_;
  model.percent3D = percent3D_;
  model.orthogonal = orthogonal_;
  model.margins = margins_;
  model.labels = labels_;
  model.series.reserve(series_.size());
  for (const TChartSeries* series : series_) model.series.push_back(&series->Data());
  return model;
}

void TChart::SaveToBitmapFile(const std::string& fileName) const {
  CheckBitmapSize(fileName, Width(), Height());
  WriteChartImageFile(Model(), QSize(Width(), Height()), fileName);
}

void TChart::PrintPartial(QPainter& painter, const QRect& rect) const {
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
  RenderChart(painter, Model(), QRectF(0, 0, rect.width(), rect.height() / stretch), scale);
  painter.restore();
}

void TChart::paintEvent(QPaintEvent*) {
  repaintPending_ = false;
  QPainter painter(this);
  RenderChart(painter, Model(), QRectF(rect()), 1);
}

bool TChart::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QWidget::event(event);
  ShowPointTip(*static_cast<QHelpEvent*>(event));
  return true;
}

// Laid out again as the chart is drawn now, at its size in the window. Over a shortened text the
// tooltip shows it whole; over a bar, a slice or a line point it names them, the title line bold.
// The texts come from the tables and are shown as they are, never as markup.
void TChart::ShowPointTip(const QHelpEvent& help) {
  const ChartModel model = Model();
  const ChartLayout layout = LayoutChart(model, QSizeF(size()), MakeChartFonts(model));
  const QString whole = WholeTextAt(layout, help.pos());
  if (!whole.isEmpty()) {  // a shortened text: the tooltip shows it whole
    QToolTip::showText(help.globalPos(),
                       "<p style='white-space:pre'>" + whole.toHtmlEscaped() + "</p>", this);
    return;
  }
  const std::optional<ChartHit> hit = HitTest(layout, help.pos());
  if (!hit) {
    QToolTip::hideText();
    return;
  }
  const HitDescription text = DescribeHit(model, *hit);
  const QString tip = "<p style='white-space:pre'><b>" + text.series.toHtmlEscaped() + "</b><br>" +
                      text.point.toHtmlEscaped() + "</p>";
  QToolTip::showText(help.globalPos(), tip, this);
}
