// Pixel checks on rendered images: the colours land where the layout puts the shapes, framed
// labels stand on their boxes, category labels stand under their bars, pie slices and lines take
// their colours.

#include <gtest/gtest.h>

#include <cmath>

#include "chart/model/palette.h"
#include "chartfixture.h"
#include "renderpixels.h"

using namespace chart;

namespace {

TEST(Render, BarFrontIsPaintedInItsColourInsideADarkerOutline) {
  ModelBuilder b;
  SeriesModel& series = b.Add(SeriesKind::Bar, {10, 20}, kRed);
  b.AddPoint(series, 15, "own", kGreen);
  for (bool view3D : {false, true}) {
    b.model.view3D = view3D;
    const ChartLayout layout = b.Layout();
    const QImage image = b.Render();
    for (const BarBox& bar : layout.geometry.bars) {
      const QRgb expected = bar.point == 2 ? 0x00FF00 : 0xFF0000;
      EXPECT_EQ(PixelAt(image, bar.front.center()), expected) << view3D << " " << bar.point;
      // Its outline, a darker shade, lies inside the front along its edge.
      const QPoint edge(static_cast<int>(bar.front.left()),
                        static_cast<int>(bar.front.center().y()));
      const int darkest = std::min(QColor(image.pixel(edge)).lightness(),
                                   QColor(image.pixel(edge + QPoint(1, 0))).lightness());
      EXPECT_LT(darkest, QColor::fromRgb(expected).lightness()) << view3D << " " << bar.point;
    }
  }
}

// A framed label stands on a pale box of its own, and painting a chart leaves the painter as it
// found it for whatever the caller paints next.
TEST(Render, FramedLabelsStandOnTheirBoxAndThePainterIsLeftAsItWas) {
  ModelBuilder b;
  b.Add(SeriesKind::Bar, {10, 20}, kRed).dataLabelsVisible = true;
  b.model.view3D = false;
  const ChartLayout layout = b.Layout();
  const auto framed = std::find_if(layout.scene.texts.begin(), layout.scene.texts.end(),
                                   [](const TextItem& t) { return t.framed; });
  ASSERT_NE(framed, layout.scene.texts.end());
  QImage image(800, 600, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  painter.setPen(Qt::green);
  painter.setBrush(Qt::blue);
  const QPainter::RenderHints hints = painter.renderHints();
  ASSERT_FALSE(hints.testFlag(QPainter::Antialiasing));
  PaintChart(painter, layout.scene);
  EXPECT_EQ(painter.renderHints(), hints);
  EXPECT_EQ(painter.pen().color(), QColor(Qt::green));
  EXPECT_EQ(painter.brush().color(), QColor(Qt::blue));
  painter.end();
  // Just inside the box's left edge, halfway down, beside the text.
  const QPointF inside = framed->origin + QPointF(framed->box.left() + 2, framed->box.center().y());
  EXPECT_EQ(PixelAt(image, inside), 0xFFFFFAu) << "the label's box";
  // Rendered into a part of the device, at a scale, with the same care.
  painter.begin(&image);
  RenderChart(painter, b.model, QRectF(10, 10, 300, 200), 1.5);
  EXPECT_TRUE(painter.transform().isIdentity());
  EXPECT_FALSE(painter.hasClipping());
}

// The columns [first, last] of the dark pixels in `band`, or {-1, -1}.
std::pair<int, int> InkColumns(const QImage& image, QRect band) {
  std::pair<int, int> ink{-1, -1};
  band = band.intersected(image.rect());
  for (int y = band.top(); y <= band.bottom(); ++y) {
    for (int x = band.left(); x <= band.right(); ++x) {
      if (QColor(image.pixel(x, y)).lightness() > 128) continue;
      ink.first = ink.first < 0 ? x : std::min(ink.first, x);
      ink.second = std::max(ink.second, x);
    }
  }
  return ink;
}

// Category labels of a vertical chart stand centred under their bars; those of horizontal bars
// end at the same distance from the axis, however long.
TEST(Render, CategoryLabelsCentreUnderTheirBarsOrEndAtTheAxis) {
  for (SeriesKind kind : {SeriesKind::Bar, SeriesKind::HorizBar}) {
    ModelBuilder b;
    SeriesModel& series = b.Add(kind, {});
    b.AddPoint(series, 5, "A", kRed);
    b.AddPoint(series, 7, "A longer one", kRed);
    series.dataLabelsVisible = false;
    b.model.legendVisible = false;
    const ChartLayout layout = b.Layout();
    const QImage image = b.Render();
    const int h = QFontMetrics(layout.scene.fonts[FontRole::Tick]).height();
    std::vector<int> ends;
    for (const BarBox& bar : layout.geometry.bars) {
      const QPoint c = bar.front.center().toPoint();
      if (kind == SeriesKind::Bar) {
        const int below = static_cast<int>(layout.geometry.plot.bottom()) + 3;
        const int slot = static_cast<int>(layout.geometry.plot.width()) / 2;
        const auto ink = InkColumns(image, QRect(c.x() - slot / 2, below, slot, h));
        EXPECT_NEAR((ink.first + ink.second) / 2.0, c.x(), 2) << "under bar " << bar.point;
      } else {
        const int left = static_cast<int>(layout.geometry.plot.left()) - 3;
        ends.push_back(InkColumns(image, QRect(0, c.y() - h / 2, left, h)).second);
      }
    }
    if (kind == SeriesKind::HorizBar) {
      ASSERT_EQ(ends.size(), 2u);
      EXPECT_NEAR(ends[0], ends[1], 1);
      EXPECT_GT(ends[0], layout.geometry.plot.left() - 12);
    }
  }
}

TEST(Render, PieSlicesAndLinesTakeTheirColours) {
  ModelBuilder pie;
  SeriesModel& slices = pie.Add(SeriesKind::Pie, {});
  pie.AddPoint(slices, 1, "a", kRed);
  pie.AddPoint(slices, 1, "b", kGreen);
  const ChartLayout layout = pie.Layout();
  const QImage image = pie.Render();
  const PieGeometry& g = layout.geometry.pies.front();
  // Clockwise from 12 o'clock: the first half is on the right, the second on the left.
  EXPECT_EQ(PixelAt(image, g.center + QPointF(g.radiusX / 2, 0)), 0xFF0000u);
  EXPECT_EQ(PixelAt(image, g.center - QPointF(g.radiusX / 2, 0)), 0x00FF00u);
  // A white line parts the slices: where they meet at 12 o'clock, one of the pixels across the
  // line is a blend with white, not a slice's pure colour.
  int palest = 0;
  for (int dx = -1; dx <= 1; ++dx) {
    const QColor seen(PixelAt(image, g.center + QPointF(dx, -g.radiusY / 2)));
    palest = std::max(palest, std::min({seen.red(), seen.green(), seen.blue()}));
  }
  EXPECT_GT(palest, 60) << "the line between the slices";
  // In 3D the rim's edge below the disc shows in a shade of the slice above it.
  pie.model.view3D = true;
  const PieGeometry deepPie = pie.Layout().geometry.pies.front();
  const double a = -60 * std::numbers::pi / 180;
  const QPointF onEdge =
      deepPie.center + QPointF(deepPie.radiusX * std::cos(a),
                               -deepPie.radiusY * std::sin(a) + deepPie.thickness / 2);
  EXPECT_EQ(PixelAt(pie.Render(), onEdge), EdgeShade(Qt::red).rgb() & 0xFFFFFF) << "the edge";
  // So does the empty disc of a pie whose values are all zero: its edge is darker than its top.
  ModelBuilder zeros;
  zeros.Add(SeriesKind::Pie, {0, 0});
  zeros.model.view3D = true;
  const PieGeometry disc = zeros.Layout().geometry.pies.front();
  const QImage empty = zeros.Render();
  const QColor top(PixelAt(empty, disc.center)),
      edge(PixelAt(empty, disc.center + QPointF(0, disc.radiusY + disc.thickness / 2)));
  EXPECT_LT(edge.lightness(), top.lightness()) << "the empty disc's edge";
  // A pie's marks hang on grey leaders, painted along their whole length.
  ModelBuilder marked;
  marked.Add(SeriesKind::Pie, {5, 3, 2}).dataLabelsVisible = true;
  const ChartLayout markedLayout = marked.Layout();
  ASSERT_FALSE(markedLayout.scene.strokes.empty());
  const QImage leaders = marked.Render();
  for (const Segment& leader : markedLayout.scene.strokes) {
    const QPointF middle = leader.line.center();
    int darkest = 255;
    for (int dy = -1; dy <= 1; ++dy)
      darkest = std::min(darkest, QColor(PixelAt(leaders, middle + QPointF(0, dy))).lightness());
    EXPECT_LT(darkest, 200) << "the leader through " << middle.x() << "," << middle.y();
  }

  ModelBuilder line;
  line.Add(SeriesKind::Line, {5, 5, 5}, kGreen);
  const ChartLayout lineLayout = line.Layout();
  ASSERT_FALSE(lineLayout.scene.lines.empty());
  const QImage lineImage = line.Render();
  const QPolygonF& points = lineLayout.scene.lines.front().points;
  EXPECT_EQ(PixelAt(lineImage, (points[0] + points[1]) / 2), 0x00FF00u);
  // A point alone between two gaps shows as a dot of the line's width and more.
  ModelBuilder lone;
  lone.Add(SeriesKind::Line, {std::nan(""), 5, std::nan("")}, kGreen).dataLabelsVisible = false;
  EXPECT_GE(PixelsOf(lone.Render(), 0x00FF00u), 9) << "the dot of a lone point";
  // In 3D the line is a ribbon going back in the shades of its colour, its front edge in the
  // colour itself, rising and falling alike.
  ModelBuilder deep;
  deep.Add(SeriesKind::Line, {2, 9, 4, 7}, kGreen);
  deep.model.view3D = true;
  const QImage ribbon = deep.Render();
  const long length = static_cast<long>(deep.Layout().geometry.plot.width());
  EXPECT_GT(PixelsOf(ribbon, 0x00FF00u), length) << "the front edge";
  const QColor green(Qt::green);
  EXPECT_GT(PixelsOf(ribbon, TopShade(green).rgb() & 0xFFFFFF) +
                PixelsOf(ribbon, SideShade(green).rgb() & 0xFFFFFF),
            5 * length)
      << "the ribbon";
}

}  // namespace
