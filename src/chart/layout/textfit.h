#pragma once
// The chart's texts measured and fitted into their room: shortened with "…", wrapped at spaces,
// kept apart where several would shorten alike, and boxed as a text item of the scene. Internal
// to the chart layout library.

#include <QFont>
#include <QString>
#include <QStringList>
#include <span>
#include <string>

#include "chart/layout/chartlayout.h"

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

}  // namespace chart
