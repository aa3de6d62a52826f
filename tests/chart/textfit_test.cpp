// Texts fitted to their room: wrapped at spaces, shortened with "…", or left out.

#include "chart/layout/textfit.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <set>

#include "chart/layout/chartlayout.h"

using namespace chart;

namespace {

const QString kEllipsis(QChar(0x2026));

// At every width and line count: no line wider than the width, no more lines than asked, the
// words in their order, "…" only where words were cut, nothing at all where not a letter fits.
TEST(TextFit, WrappedLinesFitAndKeepTheWordsInOrder) {
  const QFont font = MakeChartFonts(ChartModel{})[FontRole::Title];
  const QString text = "Units sold per month in every region, counted at the warehouse doors";
  const QStringList words = text.split(' ');
  for (double width = 4; width < 700; width += width < 60 ? 1 : 9) {  // each pixel where words cut
    for (int most = 1; most <= 3; ++most) {
      const QStringList lines = Wrapped(font, text, width, most);
      ASSERT_LE(lines.size(), most) << width;
      if (lines.isEmpty()) {
        EXPECT_LT(width, TextWidth(font, "U" + kEllipsis)) << "something fits at " << width;
        continue;
      }
      QStringList shown;
      for (const QString& line : lines) {
        EXPECT_LE(TextWidth(font, line), width + 0.01) << line.toStdString();
        shown += line.split(' ', Qt::SkipEmptyParts);
      }
      const bool cut = lines.join(' ').contains(kEllipsis);
      EXPECT_EQ(cut, lines.join(' ') != text) << width << " " << most;
      for (qsizetype i = 0; i < shown.size(); ++i) {
        const QString word = shown[i].endsWith(kEllipsis) ? shown[i].chopped(1) : shown[i];
        EXPECT_TRUE(words[i].startsWith(word))
            << words[i].toStdString() << " / " << word.toStdString();
      }
    }
  }
}

// Labels that start alike keep their different ends when shortened in the middle.
TEST(TextFit, LabelsShortenedInTheMiddleStayApart) {
  const QFont font = MakeChartFonts(ChartModel{})[FontRole::Legend];
  const double width = TextWidth(font, "Pro" + kEllipsis + "r 60");
  std::set<QString> shown;
  for (int i = 1; i <= 60; ++i) {
    const QString label = QString("Product line number %1").arg(i);
    const QString text = Shortened(font, label, width, Qt::ElideMiddle);
    EXPECT_LE(TextWidth(font, text), width);
    shown.insert(text);
  }
  EXPECT_EQ(shown.size(), 60u);
  EXPECT_EQ(Shortened(font, "Product", 3), "") << "no room for a letter and \u2026";
}

// Titles shortened to one width: each fits, and two that read the same stand for the same text,
// whatever the width, for titles alike at the start, alike at the end, or the same.
TEST(TextFit, DistinctlyShortenedTitlesNeverReadAlikeForDifferentTexts) {
  const QFont font = MakeChartFonts(ChartModel{})[FontRole::SeriesTitle];
  QStringList texts{"Sales", "Sales", "Returns"};
  for (int i = 1; i <= 12; ++i) {
    texts << QString("Quarterly revenue of region %1").arg(i)
          << QString("%1 units sold in the year").arg(i);
  }
  for (double width = 4; width <= 260; width += 3) {
    const QStringList shown = DistinctlyShortened(font, texts, width);
    ASSERT_EQ(shown.size(), texts.size());
    for (qsizetype i = 0; i < shown.size(); ++i) {
      EXPECT_LE(TextWidth(font, shown[i]), width) << shown[i].toStdString();
      for (qsizetype j = i + 1; j < shown.size(); ++j) {
        if (!shown[i].isEmpty() && shown[i] == shown[j]) {
          EXPECT_EQ(texts[i], texts[j])
              << "both read " << shown[i].toStdString() << " at " << width;
        }
      }
    }
  }
  const double room = TextWidth(font, "Quarterly revenue" + kEllipsis);
  const QStringList shown = DistinctlyShortened(font, texts, room);
  EXPECT_EQ(std::set<QString>(shown.begin() + 3, shown.end()).size(), 24u) << "all told apart";
}

}  // namespace
