// Texts fitted to the room they get: shortened with "…", or wrapped at spaces into lines.

#include <QFontMetricsF>
#include <QStringList>

#include "chart/layoutsteps.h"

namespace chart {

QString Shortened(const QFont& font, const QString& text, double width, Qt::TextElideMode mode) {
  const QFontMetricsF metrics(font);
  if (metrics.horizontalAdvance(text) <= width) return text;
  const QString shown = metrics.elidedText(text, mode, width);
  // "…" alone says nothing: such a text is left out. Shortened in the middle a text keeps a
  // letter at either end; where only one fits, it keeps its first.
  if (shown.size() >= 2 && metrics.horizontalAdvance(shown) <= width) return shown;
  return mode == Qt::ElideMiddle ? Shortened(font, text, width, Qt::ElideRight) : QString();
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
