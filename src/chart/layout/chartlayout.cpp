#include "chart/layout/chartlayout.h"

#include <algorithm>
#include <cmath>

#include "chart/layout/axeslayout.h"
#include "chart/layout/chartfont.h"
#include "chart/layout/legendlayout.h"
#include "chart/layout/pielayout.h"
#include "chart/layout/textfit.h"
#include "chart/layout/valuetext.h"
#include "chart/model/niceticks.h"
#include "chart/model/palette.h"

namespace chart {

// Layout order of the frame (each step takes its room from what the earlier ones left):
//   1. the chart rectangle less the four margins (percent of width and height) and a padding;
//   2. the title lines at the top, centred, wrapped and shortened, within a share of the height;
//      an empty line is a small gap;
//   3. the legend at the right or below (legendlayout.cpp);
//   4. what remains holds the pies side by side, or the axes with their series.

namespace {

constexpr double kPadding = 6;
constexpr int kMaxMarginPercent = 45;   // two opposite margins still leave a tenth
constexpr double kMaxTitleShare = 0.3;  // of the height, for the title's lines
constexpr int kTitleWrapLines = 2;      // a title line too long wraps once, then is shortened
constexpr std::size_t kMaxLegendEntries = 5000;  // more never fit

// The chart's own family at a fixed size in pixels. Hinting and subpixel rendering are fixed
// here too, so that neither a font configuration nor a desktop setting changes the glyphs.
QFont FontOf(double points, FontStyle style) {
  QFont font(ChartFontFamily());
  font.setHintingPreference(QFont::PreferVerticalHinting);
  font.setStyleStrategy(QFont::NoSubpixelAntialias);
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

// Step 2: returns the area below the title. A title line too long for the width wraps once and
// is then shortened; the lines that would take the title past its share of the height are left
// out (a title may have millions of lines).
QRectF LayoutTitle(const ChartModel& model, QRectF area, Scene& scene, Omissions& omitted) {
  const QFont& font = scene.fonts[FontRole::Title];
  const double lineHeight = LineHeight(font);
  const double bottom = area.top() + area.height() * kMaxTitleShare;
  double y = area.top();
  bool any = false;
  const auto& all = model.title.lines;
  const auto leaveOut = [&](auto from) {
    omitted.titleLinesLeftOut =
        static_cast<int>(std::count_if(from, all.end(), [](const std::string& left) {
          return !DisplayText(left).trimmed().isEmpty();
        }));
  };
  for (auto line = all.begin(); line != all.end(); ++line) {
    const QString text = DisplayText(*line).trimmed();
    if (text.isEmpty()) {
      y += lineHeight / 4;  // a blank line: a quarter of a line
      if (y > bottom) {
        leaveOut(line);
        break;
      }
      continue;
    }
    const QStringList lines = Wrapped(font, text, area.width(), kTitleWrapLines);
    if (lines.isEmpty() || y + lineHeight * lines.size() > bottom) {
      leaveOut(line);
      break;
    }
    for (const QString& shown : lines) {
      TextItem item = BoxedText(shown, QRectF(area.left(), y, area.width(), lineHeight),
                                Qt::AlignCenter, FontRole::Title);
      if (lines.size() > 1 || shown != text) item.fullText = text;
      scene.texts.push_back(item);
      y += lineHeight;
    }
    any = true;
  }
  if (!any) y = area.top();  // nothing but blank lines: no gap at all
  return QRectF(area.left(), y + (any ? kPadding : 0), area.width(),
                area.bottom() - y - (any ? kPadding : 0));
}

// The legend lists the series, each in the colour its marks are drawn in (ColorsDrawn), or where
// each point has a colour of its own (a pie chart) the points of the first series, zero ones
// included. Of those points only as many are made into
// entries as could ever fit; `total` counts them all.
std::vector<LegendEntry> LegendEntries(const std::vector<const SeriesModel*>& series,
                                       std::span<const std::string> labels, bool listsPoints,
                                       const ChartLayout& layout, std::size_t& total) {
  std::vector<LegendEntry> entries;
  total = 0;
  if (series.empty()) return entries;
  if (listsPoints) {
    const SeriesModel& pie = *series.front();
    const auto& points = pie.points;
    const std::vector<Color> colors = PointColors(pie);
    for (std::size_t i = 0; i < points.size(); ++i) {
      if (!std::isfinite(points[i].value)) continue;
      ++total;
      if (entries.size() >= kMaxLegendEntries) continue;
      QString text = CategoryLabel(labels, i).trimmed();
      if (text.isEmpty()) text = ValueText(layout.numbers, 0, points[i].value);
      entries.push_back({text, ToQColor(colors[i]), static_cast<int>(i)});
    }
    return entries;
  }
  for (std::size_t s = 0; s < series.size(); ++s) {
    const bool line = Traits(series[s]->kind).legendLine;
    entries.push_back({SeriesName(*series[s]), ToQColor(ColorsDrawn(*series[s]).most),
                       static_cast<int>(s), line ? LegendSample::Line : LegendSample::Square});
  }
  return entries;
}

// What the layout shortened, for the reports. A line of a wrapped text carries the whole text too,
// for the tooltip, but shows its words as they are: it was not shortened.
int ShortenedTexts(const ChartLayout& layout) {
  const auto shortened = [](const TextItem& item) {
    return !item.fullText.isEmpty() && !item.fullText.simplified().contains(item.text.simplified());
  };
  int count = static_cast<int>(
      std::count_if(layout.scene.texts.begin(), layout.scene.texts.end(), shortened));
  for (const LegendItem& item : layout.scene.legend) count += shortened(item.text) ? 1 : 0;
  return count;
}

// The model's indexes of the series that the chart draws: its pies, or all the others.
std::vector<int> DrawnSeries(const ChartModel& model, bool pies) {
  std::vector<int> drawn;
  for (std::size_t i = 0; i < model.series.size(); ++i) {
    if (IsPie(model.series[i].kind) == pies) drawn.push_back(static_cast<int>(i));
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
  set(FontRole::SmallMark, FontOf(5.25, {}));  // 7 pixels: a line of about 8
  return fonts;
}

ChartLayout LayoutChart(const ChartModel& model, QSizeF size, const ChartFonts& fonts,
                        double deviceScale) {
  ChartLayout layout;
  layout.scene.size = size;
  layout.geometry.leastPixels = deviceScale < 1 ? 2 : 1;
  layout.scene.fonts = fonts;
  if (deviceScale > 0 && deviceScale < 1) {  // the small labels keep their size on the device
    QFont& small = layout.scene.fonts.fonts[static_cast<std::size_t>(FontRole::SmallMark)];
    small.setPixelSize(static_cast<int>(std::ceil(small.pixelSize() / deviceScale)));
  }
  layout.numbers.locale = model.numbers;
  if (!(size.width() > 0 && size.height() > 0)) return layout;
  QRectF area = InsideMargins(model, size);                       // step 1
  area = LayoutTitle(model, area, layout.scene, layout.omitted);  // step 2
  const SeriesKindTraits& kind = Traits(ChartKindOf(model));
  const bool pieChart = !kind.onAxes;
  layout.geometry.drawnSeries = DrawnSeries(model, pieChart);
  std::vector<const SeriesModel*> drawn;
  for (int index : layout.geometry.drawnSeries) drawn.push_back(&model.series[std::size_t(index)]);
  layout.numbers.valueStyles = DataSetStyles(drawn);
  if (model.legendVisible) {  // step 3
    std::size_t total = 0;
    const std::vector<LegendEntry> entries =
        LegendEntries(drawn, model.labels, kind.colorPerPoint, layout, total);
    const std::optional<QRectF> left =
        LayoutLegend(entries, kind.colorPerPoint ? total : 0, area, layout.scene, layout.omitted);
    if (!left) return layout;  // a chart too small for its legend draws neither
    area = *left;
  }
  if (area.width() < 10 || area.height() < 10) return layout;
  if (pieChart) {  // step 4
    LayoutPies(model, drawn, area, layout);
  } else {
    LayoutAxes(model, drawn, area, layout);
  }
  layout.omitted.shortenedTexts = ShortenedTexts(layout);
  return layout;
}

}  // namespace chart
