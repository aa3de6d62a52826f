#include "chartlayout.h"

#include <QGuiApplication>
#include <algorithm>
#include <cmath>

#include "layoutsteps.h"
#include "niceticks.h"
#include "palette.h"

// Layout order of the frame (each step takes its room from what the earlier ones left):
//   1. the chart rectangle less the four margins (percent of width and height) and a padding;
//   2. the title lines at the top, centred; an empty line is a small gap;
//   3. the legend at the right, centred vertically;
//   4. what remains holds the pies side by side, or the axes with their series.

namespace {

constexpr double kPadding = 6;
constexpr double kLegendSwatch = 10;
constexpr double kMaxLegendTextShare = 0.3;  // of the width left for legend and plot
constexpr int kMaxMarginPercent = 45;        // two opposite margins still leave a tenth

QFont FontOf(double points, FontStyle style) {
  QFont font = QGuiApplication::font();
  font.setPixelSize(static_cast<int>(std::lround(points * 96.0 / 72.0)));
  font.setBold(style.bold);
  font.setItalic(style.italic);
  return font;
}

QRectF InsideMargins(const ChartModel& model, QSizeF size) {
  auto share = [](int percent) { return std::clamp(percent, 0, kMaxMarginPercent) / 100.0; };
  const double left = size.width() * share(model.margins[0]) + kPadding;
  const double top = size.height() * share(model.margins[1]) + kPadding;
  const double right = size.width() * share(model.margins[2]) + kPadding;
  const double bottom = size.height() * share(model.margins[3]) + kPadding;
  return QRectF(left, top, size.width() - left - right, size.height() - top - bottom);
}

// Step 2: returns the area below the title.
QRectF LayoutTitle(const ChartModel& model, QRectF area, ChartLayout& layout) {
  const QFont& font = layout.fonts[FontRole::Title];
  const double lineHeight = LineHeight(font);
  double y = area.top();
  bool any = false;
  for (const std::string& line : model.title.lines) {
    if (y >= area.bottom()) break;  // the lines below cannot show: a title may have millions
    const QString text = DisplayText(line).trimmed();
    if (text.isEmpty()) {
      y += lineHeight / 4;  // a blank line: a quarter of a line
      continue;
    }
    const QFontMetricsF metrics(font);
    const QString shown = metrics.elidedText(text, Qt::ElideRight, area.width());
    layout.texts.push_back(BoxedText(shown, QRectF(area.left(), y, area.width(), lineHeight),
                                     Qt::AlignCenter, FontRole::Title));
    y += lineHeight;
    any = true;
  }
  if (!any) y = area.top();  // nothing but blank lines: no gap at all
  return QRectF(area.left(), y + (any ? kPadding : 0), area.width(), area.bottom() - y);
}

struct LegendEntry {
  QString text;
  QColor color;
};

std::vector<LegendEntry> LegendEntries(const std::vector<const SeriesModel*>& series,
                                       std::span<const std::string> labels) {
  std::vector<LegendEntry> entries;
  if (series.empty()) return entries;
  if (series.front()->kind == SeriesKind::Pie) {
    const SeriesModel& pie = *series.front();
    const auto& points = pie.points;
    for (std::size_t i = 0; i < points.size(); ++i) {
      if (!std::isfinite(points[i].value) || points[i].value == 0) continue;
      QString text = CategoryLabel(labels, i);
      if (text.isEmpty()) text = QString::fromStdString(FormatValue(points[i].value));
      entries.push_back({text, ToQColor(ResolvePointColor(pie, static_cast<int>(i)))});
      if (entries.size() > 1000) break;  // more never fit on a page
    }
    return entries;
  }
  for (const SeriesModel* one : series) {
    if (one->kind == SeriesKind::Pie) continue;
    entries.push_back({SeriesName(*one), ToQColor(ResolveSeriesColor(*one))});
  }
  return entries;
}

// Step 3: returns the area left of the legend.
QRectF LayoutLegend(const std::vector<LegendEntry>& entries, QRectF area, ChartLayout& layout) {
  if (entries.empty()) return area;
  const QFont& font = layout.fonts[FontRole::Legend];
  const QFontMetricsF metrics(font);
  const double rowHeight = std::max(LineHeight(font), kLegendSwatch) + 3;
  const double maxText = area.width() * kMaxLegendTextShare;
  double textWidth = 0;
  for (const auto& entry : entries) {
    textWidth = std::max(textWidth, std::min(TextWidth(font, entry.text), maxText));
  }
  const int fitting = static_cast<int>((area.height() - 2 * kPadding) / rowHeight);
  if (fitting < 1 || area.width() < 80) return area;
  const int rows = std::min(fitting, static_cast<int>(entries.size()));
  const double width = kPadding * 3 + kLegendSwatch + textWidth;
  const double height = rows * rowHeight + 2 * kPadding;
  layout.legendFrame = QRectF(area.right() - width, area.center().y() - height / 2, width, height);
  for (int i = 0; i < rows; ++i) {
    const double top = layout.legendFrame.top() + kPadding + i * rowHeight;
    const bool cut = i == rows - 1 && rows < static_cast<int>(entries.size());
    const QString text =
        cut ? QString("... %1 more").arg(entries.size() - rows + 1) : entries[i].text;
    const QRectF swatch(layout.legendFrame.left() + kPadding, top + (rowHeight - kLegendSwatch) / 2,
                        kLegendSwatch, kLegendSwatch);
    const QRectF textRect(swatch.right() + kPadding, top, textWidth, rowHeight);
    LegendItem item{swatch, cut ? QColor(Qt::transparent) : entries[i].color,
                    BoxedText(metrics.elidedText(text, Qt::ElideRight, textWidth), textRect,
                              Qt::AlignLeft | Qt::AlignVCenter, FontRole::Legend)};
    layout.legend.push_back(item);
  }
  return QRectF(area.left(), area.top(), area.width() - width - kPadding * 2, area.height());
}

// The model's indexes of the series that the chart draws: its pies, or all the others.
std::vector<int> DrawnSeries(const ChartModel& model, bool pies) {
  std::vector<int> drawn;
  for (std::size_t i = 0; i < model.series.size(); ++i) {
    const SeriesModel* one = model.series[i];
    if (one && (one->kind == SeriesKind::Pie) == pies) drawn.push_back(static_cast<int>(i));
  }
  return drawn;
}

}  // namespace

ChartFonts MakeChartFonts(const ChartModel& model) {
  ChartFonts fonts;
  auto set = [&](FontRole role, QFont font) { fonts.fonts[static_cast<int>(role)] = font; };
  set(FontRole::Title, FontOf(11, model.title.font));
  set(FontRole::LeftAxisTitle, FontOf(9, model.leftAxisTitle.font));
  set(FontRole::BottomAxisTitle, FontOf(9, model.bottomAxisTitle.font));
  set(FontRole::Tick, FontOf(8, {}));
  set(FontRole::Legend, FontOf(9, {}));
  set(FontRole::Mark, FontOf(8, {}));
  set(FontRole::SeriesTitle, FontOf(9, {true, false}));
  return fonts;
}

ChartLayout LayoutChart(const ChartModel& model, QSizeF size, const ChartFonts& fonts) {
  ChartLayout layout;
  layout.size = size;
  layout.fonts = fonts;
  if (!(size.width() > 0 && size.height() > 0)) return layout;
  QRectF area = InsideMargins(model, size);  // step 1
  area = LayoutTitle(model, area, layout);   // step 2
  const bool pieChart = !model.series.empty() && model.series.front() &&
                        model.series.front()->kind == SeriesKind::Pie;
  layout.drawnSeries = DrawnSeries(model, pieChart);
  std::vector<const SeriesModel*> drawn;
  for (int index : layout.drawnSeries) drawn.push_back(model.series[index]);
  if (model.legendVisible)
    area = LayoutLegend(LegendEntries(drawn, model.labels), area, layout);  // step 3
  if (area.width() < 10 || area.height() < 10) return layout;
  if (pieChart) {  // step 4
    LayoutPies(model, drawn, area, layout);
  } else {
    LayoutAxes(model, drawn, area, layout);
  }
  return layout;
}
