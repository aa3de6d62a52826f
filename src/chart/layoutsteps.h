#pragma once
// Steps shared by the parts of the layout (frame, axes, bars, lines, pies), defined in
// layoutsteps.cpp. Internal to the chart library.

#include <QFontMetricsF>
#include <QStringList>
#include <optional>
#include <span>
#include <string>
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
// Each of `texts` shortened to `width` as Shortened does, so that texts that differ stay apart:
// where two would shorten alike, they are shortened in their middle instead, then at their start
// ("…25"), and left out where even that leaves them alike.
QStringList DistinctlyShortened(const QFont& font, const QStringList& texts, double width);
// The same with a width for each text, shortened first by `first`, then as above.
QStringList DistinctlyShortened(const QFont& font, const QStringList& texts,
                                std::span<const double> widths, Qt::TextElideMode first);
// `text` broken at spaces into at most `maxLines` lines of at most `width`, the last one
// shortened where words remain (as is a word longer than a line). Empty where nothing fits.
QStringList Wrapped(const QFont& font, const QString& text, double width, int maxLines);

// A text centred (or aligned by `align`) in an upright rectangle.
TextItem BoxedText(const QString& text, const QRectF& rect, int align, FontRole font);

// The style of each drawn series' values: its own decimals, under the value axis' scale note.
std::vector<ValueStyle> DataSetStyles(const std::vector<const SeriesModel*>& series,
                                      const AxisNumbers& axis = {});

// A value of the drawn series `series` as the chart's data labels and tooltips write it.
QString ValueText(const ChartLayout& layout, int series, double value);

// The name a series shows in the legend and over its pie: its title, else "Series<n>".
QString SeriesName(const SeriesModel& series);

// The 3D percent as a share (0 to 1), 0 in the flat view.
double Depth3DShare(const ChartModel& model);

QColor TopShade(const QColor& color);
QColor SideShade(const QColor& color);
QColor EdgeShade(const QColor& color);

// An entry of the legend: a drawn series, or a point of a pie (LegendItem::entry).
struct LegendEntry {
  QString text;
  QColor color;
  int entry = 0;
  LegendSample sample = LegendSample::Square;
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
