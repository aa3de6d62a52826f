// Texts measured and fitted to the room they get: shortened with "…", or wrapped at spaces into
// lines.

#include "chart/layout/textfit.h"

#include <QFontMetricsF>
#include <QHash>
#include <QSet>

#include "runtime/text.h"

namespace chart {

QString DisplayText(const std::string& text) { return ToDisplayText(text); }

QString CategoryLabel(std::span<const std::string> labels, std::size_t index) {
  return index < labels.size() ? DisplayText(labels[index]) : QString();
}

double TextWidth(const QFont& font, const QString& text) {
  return QFontMetricsF(font).horizontalAdvance(text);
}

double LineHeight(const QFont& font) { return QFontMetricsF(font).height(); }

TextItem BoxedText(const QString& text, const QRectF& rect, int align, FontRole font) {
  TextItem item;
  item.text = text;
  item.origin = rect.topLeft();
  item.box = QRectF(QPointF(0, 0), rect.size());
  item.align = align;
  item.font = font;
  return item;
}

QString Shortened(const QFont& font, const QString& text, double width, Qt::TextElideMode mode) {
  const QFontMetricsF metrics(font);
  if (metrics.horizontalAdvance(text) <= width) return text;
  const QString shown = metrics.elidedText(text, mode, width);
  // "…" alone says nothing: such a text is left out. Shortened in the middle a text keeps a
  // letter at either end; where only one fits, it keeps its first.
  if (shown.size() >= 2 && metrics.horizontalAdvance(shown) <= width) return shown;
  return mode == Qt::ElideMiddle ? Shortened(font, text, width, Qt::ElideRight) : QString();
}

namespace {

// The indexes of the texts shown alike although their whole texts differ.
std::vector<qsizetype> Alike(const QStringList& whole, const QStringList& shown) {
  QHash<QString, qsizetype> first;  // a shown text, and the first whole text shown so
  QSet<QString> mixed;              // shown texts that stand for different whole ones
  for (qsizetype i = 0; i < shown.size(); ++i) {
    if (shown[i].isEmpty()) continue;
    const auto found = first.constFind(shown[i]);
    if (found == first.constEnd()) {
      first.insert(shown[i], i);
    } else if (whole[*found] != whole[i]) {
      mixed.insert(shown[i]);
    }
  }
  std::vector<qsizetype> alike;
  for (qsizetype i = 0; i < shown.size(); ++i) {
    if (mixed.contains(shown[i])) alike.push_back(i);
  }
  return alike;
}

}  // namespace

QStringList DistinctlyShortened(const QFont& font, const QStringList& texts,
                                std::span<const double> widths, Qt::TextElideMode first) {
  QStringList shown;
  for (qsizetype i = 0; i < texts.size(); ++i)
    shown.push_back(Shortened(font, texts[i], widths[std::size_t(i)], first));
  for (Qt::TextElideMode mode : {Qt::ElideMiddle, Qt::ElideLeft, Qt::ElideNone}) {
    if (mode == first) continue;
    const std::vector<qsizetype> alike = Alike(texts, shown);
    if (alike.empty()) break;
    for (qsizetype i : alike) {
      shown[i] = mode == Qt::ElideNone ? QString()
                                       : Shortened(font, texts[i], widths[std::size_t(i)], mode);
    }
  }
  return shown;
}

QStringList DistinctlyShortened(const QFont& font, const QStringList& texts, double width) {
  const std::vector<double> widths(std::size_t(texts.size()), width);
  return DistinctlyShortened(font, texts, widths, Qt::ElideRight);
}

QStringList Wrapped(const QFont& font, const QString& text, double width, int maxLines) {
  const QFontMetricsF metrics(font);
  const QStringList words = text.split(' ', Qt::SkipEmptyParts);
  QStringList lines;
  QString line;
  qsizetype next = 0;
  for (; next < words.size(); ++next) {
    const QString longer = line.isEmpty() ? words[next] : line + ' ' + words[next];
    if (line.isEmpty() || metrics.horizontalAdvance(longer) <= width) {
      line = longer;
      continue;
    }
    if (lines.size() + 1 >= maxLines) break;  // the last line takes the rest, shortened
    lines.push_back(line);
    line = words[next];
  }
  for (; next < words.size(); ++next) line += ' ' + words[next];
  if (!line.isEmpty()) lines.push_back(line);
  for (QString& one : lines) one = Shortened(font, one, width, Qt::ElideRight);
  if (lines.isEmpty() || lines.front().isEmpty()) return {};
  while (lines.back().isEmpty()) lines.pop_back();
  return lines;
}

}  // namespace chart
