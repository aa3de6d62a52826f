#pragma once
// Steps shared by the parts of the layout (frame, axes, bars, lines, pies), defined in
// layoutsteps.cpp. Internal to the chart library.

#include <QFontMetricsF>
#include <QStringList>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "chart/chartlayout.h"

namespace chart {

QString DisplayText(const std::string& text);
// The shown label of category `index`; empty where the chart has none.
QString CategoryLabel(std::span<const std::string> labels, std::size_t index);
double TextWidth(const QFont& font, const QString& text);
double LineHeight(const QFont& font);

// `text` shortened with "…" to at most `width`: at its end, or in its middle where the ends tell
// texts apart (labels such as "Product line 57"). Empty where not even a letter and "…" fit.
QString Shortened(const QFont& font, const QString& text, double width,
                  Qt::TextElideMode mode = Qt::ElideRight);
// `text` broken at spaces into at most `maxLines` lines of at most `width`, the last one
// shortened where words remain (as is a word longer than a line). Empty where nothing fits.
QStringList Wrapped(const QFont& font, const QString& text, double width, int maxLines);

// A text centred (or aligned by `align`) in an upright rectangle.
TextItem BoxedText(const QString& text, const QRectF& rect, int align, FontRole font);

// A value mark: a framed text centred on `center`.
TextItem MarkText(const QString& text, QPointF center, const QFont& font);
// Where a text lies on the chart.
QRectF PlacedRect(const TextItem& item);

// The name a series shows in the legend and over its pie: its title, else "Series<n>".
QString SeriesName(const SeriesModel& series);

// The 3D percent as a share (0 to 1), 0 in the flat view.
double Depth3DShare(const ChartModel& model);

QColor TopShade(const QColor& color);
QColor SideShade(const QColor& color);
QColor EdgeShade(const QColor& color);

// Keeps marks from being drawn over each other: a rectangle is taken only where no earlier one
// lies. A grid of cells keeps the check cheap for thousands of marks.
class MarkPlacer {
 public:
  explicit MarkPlacer(QRectF bounds) : bounds_(bounds) {}
  bool TryPlace(const QRectF& rect);

 private:
  static constexpr double kCell = 64;
  QRectF bounds_;
  std::vector<QRectF> placed_;
  std::unordered_map<long long, std::vector<int>> cells_;
  void Add(const QRectF& rect);
};

// An entry of the legend: a drawn series, or a point of a pie (LegendItem::entry).
struct LegendEntry {
  QString text;
  QColor color;
  int entry = 0;
};

// Lays out the legend in `area` (legendlayout.cpp) and returns the area left for the chart;
// std::nullopt where not every entry fits. With a `total` (of a pie's slices, which may be more
// than `entries` holds: those that can never fit need not be made) a last line may count the
// entries left out instead.
std::optional<QRectF> LayoutLegend(const std::vector<LegendEntry>& entries, std::size_t total,
                                   QRectF area, ChartLayout& layout);

void LayoutAxes(const ChartModel& model, const std::vector<const SeriesModel*>& series, QRectF area,
                ChartLayout& layout);
void LayoutPies(const ChartModel& model, const std::vector<const SeriesModel*>& pies, QRectF area,
                ChartLayout& layout);

}  // namespace chart
