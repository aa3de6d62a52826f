// The chart's own family: every font the chart draws with is DejaVu Sans from the files the
// program names, whatever the font configuration prefers (ctest runs these once more under a
// configuration that puts another family first), and it holds every character the chart writes.

#include "chart/layout/chartfont.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QRawFont>

#include "chart/layout/chartlayout.h"
#include "chart/model/numberformat.h"

using namespace chart;

namespace {

constexpr FontRole kRoles[] = {
    FontRole::Title,  FontRole::LeftAxisTitle, FontRole::BottomAxisTitle, FontRole::Tick,
    FontRole::Legend, FontRole::Mark,          FontRole::SeriesTitle,     FontRole::SmallMark};

ChartModel ModelWithStyledTitles() {
  ChartModel model;
  model.title.font = {true, true};
  model.leftAxisTitle.font = {true, false};
  model.bottomAxisTitle.font = {false, true};
  return model;
}

TEST(ChartFont, EveryRoleDrawsWithTheProgramsOwnFamily) {
  ASSERT_EQ(ChartFontFamily().toStdString(), "DejaVu Sans") << "is fonts-dejavu-core installed?";
  const ChartFonts fonts = MakeChartFonts(ModelWithStyledTitles());
  for (FontRole role : kRoles) {
    const QRawFont raw = QRawFont::fromFont(fonts[role]);
    EXPECT_EQ(raw.familyName().toStdString(), "DejaVu Sans") << static_cast<int>(role);
    EXPECT_EQ(raw.weight() >= QFont::Bold, fonts[role].bold()) << static_cast<int>(role);
    EXPECT_EQ(raw.style() != QFont::StyleNormal, fonts[role].italic()) << static_cast<int>(role);
  }
}

// Every text the chart makes of numbers, in every locale of the scripts the family covers, and
// the marks it adds itself: no character may fall back to another family.
std::vector<QString> TextsTheChartWrites() {
  std::vector<QString> texts{"\u2026 12 more", ScaleNote({0, 12}).c_str(),
                             ScaleNote({0, -9}).c_str(), ScaleNote({0, 0, true}).c_str()};
  const double values[] = {-1234567.25, -0.000125, -1.25e-6, 9.87e15, -4.5e300, 98765};
  for (QLocale::Script script :
       {QLocale::LatinScript, QLocale::CyrillicScript, QLocale::GreekScript}) {
    for (const QLocale& locale :
         QLocale::matchingLocales(QLocale::AnyLanguage, script, QLocale::AnyTerritory)) {
      const NumberLocale numbers = NumberLocaleOf(locale);
      for (double value : values) {
        texts.push_back(QString::fromStdString(FormatValue(value, {2, 0}, numbers)));
        texts.push_back(QString::fromStdString(FormatTick(value, {2, 0}, numbers)));
      }
    }
  }
  return texts;
}

TEST(ChartFont, HoldsEveryCharacterTheChartWrites) {
  const std::vector<QString> texts = TextsTheChartWrites();
  ASSERT_GT(texts.size(), 1000u);
  for (const FontStyle style : {FontStyle{false, false}, FontStyle{true, false}}) {
    ChartModel model;
    model.title.font = style;
    const QRawFont raw = QRawFont::fromFont(MakeChartFonts(model)[FontRole::Title]);
    for (const QString& text : texts) {
      for (char32_t c : text.toUcs4()) {
        EXPECT_TRUE(raw.supportsCharacter(c))
            << "U+" << std::hex << uint32_t(c) << " in " << text.toStdString();
      }
    }
  }
}

// Glyphs are antialiased (grey edges) whatever the font configuration asks for: under the
// hostile configuration of the second run too.
TEST(ChartFont, TextsAreAntialiasedWhateverTheConfigurationSays) {
  for (FontRole role : {FontRole::Title, FontRole::Tick}) {
    QImage image(160, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(MakeChartFonts(ChartModel{})[role]);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(4, 28), "Sales 2026");
    painter.end();
    int grey = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const int level = qGray(image.pixel(x, y));
        if (level > 40 && level < 215) ++grey;
      }
    }
    EXPECT_GT(grey, 20) << "antialiased edges, role " << static_cast<int>(role);
  }
}

}  // namespace
