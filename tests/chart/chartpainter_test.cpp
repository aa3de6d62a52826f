// Pixel checks on rendered images: the colours land where the layout puts the shapes.

#include <gtest/gtest.h>

#include <QPainterPath>
#include <cmath>
#include <numbers>
#include <random>

#include "chart/layoutsteps.h"
#include "chart/outlinering.h"
#include "chart/palette.h"
#include "chartfixture.h"

using namespace chart;

namespace {

constexpr TColor kRed = 0x0000FF;  // 0x00BBGGRR
constexpr TColor kGreen = 0x00FF00;

QRgb PixelAt(const QImage& image, QPointF at) {
  return image.pixel(static_cast<int>(at.x()), static_cast<int>(at.y())) & 0xFFFFFF;
}

TEST(Render, BarFrontIsPaintedInItsColourInsideADarkerOutline) {
  ModelBuilder b;
  SeriesModel& series = b.Add(SeriesKind::Bar, {10, 20}, kRed);
  b.AddPoint(series, 15, "own", kGreen);
  for (bool view3D : {false, true}) {
    b.model.view3D = view3D;
    const ChartLayout layout = b.Layout();
    const QImage image = b.Render();
    for (const BarBox& bar : layout.bars) {
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
  b.Add(SeriesKind::Bar, {10, 20}, kRed).marksVisible = true;
  b.model.view3D = false;
  const ChartLayout layout = b.Layout();
  const auto framed = std::find_if(layout.texts.begin(), layout.texts.end(),
                                   [](const TextItem& t) { return t.framed; });
  ASSERT_NE(framed, layout.texts.end());
  QImage image(800, 600, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  painter.setPen(Qt::green);
  painter.setBrush(Qt::blue);
  const QPainter::RenderHints hints = painter.renderHints();
  ASSERT_FALSE(hints.testFlag(QPainter::Antialiasing));
  PaintChart(painter, layout);
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

TEST(Render, ThreeDimensionsAddShadedTopsWhereTheDepthIs) {
  ModelBuilder b;
  b.Add(SeriesKind::Bar, {10}, kRed);
  b.model.view3D = true;
  const ChartLayout layout = b.Layout();
  const QImage deep = b.Render();
  b.model.view3D = false;
  const QImage flat = b.Render();
  const BarBox& bar = layout.bars.front();
  const double depth = layout.depthOffset.x() * 0.75;
  const QPointF onTop =
      bar.front.topLeft() + QPointF(bar.front.width() / 2 + depth / 2, -depth / 2);
  const QColor top = QColor::fromRgb(PixelAt(deep, onTop));
  EXPECT_NE(PixelAt(deep, onTop), PixelAt(flat, onTop));
  EXPECT_EQ(top.hue(), 0) << "the top is a shade of the bar's red";
  EXPECT_GT(top.lightness(), QColor(Qt::red).lightness());
  EXPECT_NE(deep, flat);
}

// Flat, the plot is white; in 3D it stands in a box of three shaded walls, the side wall carrying
// each value's grid line back to the back wall.
TEST(Render, ThreeDimensionsPutThePlotInShadedWallsThatCarryTheGrid) {
  ModelBuilder b;
  b.Add(SeriesKind::Line, {10, 10, 10}, kRed).marksVisible = false;
  for (bool view3D : {false, true}) {
    b.model.view3D = view3D;
    const ChartLayout layout = b.Layout();
    const QImage image = b.Render();
    const QRectF& p = layout.plot;
    const double depth = layout.depthOffset.x();
    auto heightOf = [&](double v) {
      return p.bottom() - (v - layout.valueMin) / (layout.valueMax - layout.valueMin) * p.height();
    };
    ASSERT_GE(layout.valueTicks.size(), 3u);
    const double between = (heightOf(layout.valueTicks[0]) + heightOf(layout.valueTicks[1])) / 2;
    const QPointF back = QPointF(p.center().x(), between) + layout.depthOffset;
    SCOPED_TRACE(view3D ? "3D" : "flat");
    EXPECT_EQ(PixelAt(image, back), view3D ? 0xFAFAFAu : 0xFFFFFFu) << "the back wall";
    if (!view3D) continue;
    const QPointF side(p.left() + depth / 2, between - depth / 2);
    EXPECT_EQ(PixelAt(image, side), 0xEEEEEEu) << "the side wall";
    EXPECT_EQ(PixelAt(image, QPointF(p.center().x(), p.bottom() - depth / 2)), 0xE4E4E4u)
        << "the floor";
    for (std::size_t t = 1; t + 1 < layout.valueTicks.size(); ++t) {
      const QPoint on =
          QPointF(p.left() + depth / 2, heightOf(layout.valueTicks[t]) - depth / 2).toPoint();
      int darkest = 255;
      for (int dy = -1; dy <= 1; ++dy)
        darkest = std::min(darkest, qRed(image.pixel(on.x(), on.y() + dy)));
      EXPECT_LT(darkest, 0xEE) << "a grid line across the side wall at tick " << t;
    }
  }
}

TEST(Render, EveryBarOfA3DChartInDepthRowsShowsTheEndThatGivesItsValue) {
  const std::vector<double> north = {120, 135, 160, 148, 172, 190, 205, 198, 176, 164, 150, 210},
                            south = {95, 102, 110, 125, 131, 140, 152, 149, 138, 127, 119, 160},
                            west = {60, 72, 81, 90, 97, 110, 118, 121, 104, 99, 87, 130},
                            hardware = {12.5, 14, 13.2, 17.8, 19.1, 22.4, 25, 24.2},
                            software = {8.1, 9.4, 11.7, 10.2, 12.8, 14.1, 13.5, 15.9},
                            services = {-3.2, 2.5, 4.8, 6.1, 5.4, -1.8, 3.9, 7.2}, none(12, NAN);
  const struct {
    const char* what;
    std::vector<std::vector<double>> series;
  } cases[] = {{"largest series first", {north, south, west}},
               {"smallest series first", {west, south, north}},
               {"negative values", {hardware, software, services}},
               {"a series without values", {north, none, west}}};
  const TColor colors[] = {kRed, kGreen, 0xFF0000};
  for (const auto& c : cases) {
    ModelBuilder b;
    b.model.view3D = true;
    for (std::size_t s = 0; s < c.series.size(); ++s) {
      b.Add(SeriesKind::Bar, c.series[s], colors[s]).marksVisible = false;
    }
    const ChartLayout layout = b.Layout(720, 450);
    const QImage image = b.Render(720, 450);
    for (const BarBox& bar : layout.bars) {
      const double value = c.series[static_cast<std::size_t>(bar.series)][bar.point];
      const QPointF end(bar.front.center().x(),
                        value >= 0 ? bar.front.top() + 2 : bar.front.bottom() - 2);
      EXPECT_EQ(PixelAt(image, end), ToQColor(colors[bar.series]).rgb() & 0xFFFFFF)
          << c.what << ": series " << bar.series << ", bar " << bar.point;
    }
  }
}

// A 3D line stands in a row of its own; one of few points (the rest gaps) goes in front, where
// the ribbons of fuller lines cannot hide it, and every line shows at each of its points.
TEST(Render, EveryLineOfA3DChartShowsAtEachOfItsPoints) {
  const double gap = NAN;
  // Level where they meet, the sparse line a little below the full one: behind it, it would lie
  // within the full line's ribbon.
  const std::vector<double> full = {2, 5, 5, 5, 8}, sparse = {gap, 4.8, 4.8, gap, gap};
  const TColor colors[] = {kRed, kGreen};
  for (const auto& lines : {std::vector{full, sparse}, std::vector{sparse, full}}) {
    ModelBuilder b;
    b.model.view3D = true;
    for (std::size_t s = 0; s < lines.size(); ++s) {
      b.Add(SeriesKind::Line, lines[s], colors[s]).marksVisible = false;
    }
    const ChartLayout layout = b.Layout();
    const QImage image = b.Render();
    for (const LinePointSpot& spot : layout.linePoints) {
      const QColor own = ToQColor(colors[spot.series]);
      bool shows = false;  // the line's own colour on or next to the spot
      for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
          const QColor seen(image.pixel(spot.at.toPoint() + QPoint(dx, dy)));
          shows |= std::abs(seen.red() - own.red()) + std::abs(seen.green() - own.green()) < 60;
        }
      }
      EXPECT_TRUE(shows) << "series " << spot.series << ", point " << spot.point;
    }
  }
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
    series.marksVisible = false;
    b.model.legendVisible = false;
    const ChartLayout layout = b.Layout();
    const QImage image = b.Render();
    const int h = QFontMetrics(layout.fonts[FontRole::Tick]).height();
    std::vector<int> ends;
    for (const BarBox& bar : layout.bars) {
      const QPoint c = bar.front.center().toPoint();
      if (kind == SeriesKind::Bar) {
        const int below = static_cast<int>(layout.plot.bottom()) + 3;
        const int slot = static_cast<int>(layout.plot.width()) / 2;
        const auto ink = InkColumns(image, QRect(c.x() - slot / 2, below, slot, h));
        EXPECT_NEAR((ink.first + ink.second) / 2.0, c.x(), 2) << "under bar " << bar.point;
      } else {
        const int left = static_cast<int>(layout.plot.left()) - 3;
        ends.push_back(InkColumns(image, QRect(0, c.y() - h / 2, left, h)).second);
      }
    }
    if (kind == SeriesKind::HorizBar) {
      ASSERT_EQ(ends.size(), 2u);
      EXPECT_NEAR(ends[0], ends[1], 1);
      EXPECT_GT(ends[0], layout.plot.left() - 12);
    }
  }
}

long PixelsOf(const QImage& image, QRgb color) {
  long count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) count += (image.pixel(x, y) & 0xFFFFFF) == color;
  }
  return count;
}

TEST(Render, PieSlicesAndLinesTakeTheirColours) {
  ModelBuilder pie;
  SeriesModel& slices = pie.Add(SeriesKind::Pie, {});
  pie.AddPoint(slices, 1, "a", kRed);
  pie.AddPoint(slices, 1, "b", kGreen);
  const ChartLayout layout = pie.Layout();
  const QImage image = pie.Render();
  const PieGeometry& g = layout.pies.front();
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
  const PieGeometry deepPie = pie.Layout().pies.front();
  const double a = -60 * std::numbers::pi / 180;
  const QPointF onEdge =
      deepPie.center + QPointF(deepPie.radiusX * std::cos(a),
                               -deepPie.radiusY * std::sin(a) + deepPie.thickness / 2);
  EXPECT_EQ(PixelAt(pie.Render(), onEdge), EdgeShade(Qt::red).rgb() & 0xFFFFFF) << "the edge";
  // So does the empty disc of a pie whose values are all zero: its edge is darker than its top.
  ModelBuilder zeros;
  zeros.Add(SeriesKind::Pie, {0, 0});
  zeros.model.view3D = true;
  const PieGeometry disc = zeros.Layout().pies.front();
  const QImage empty = zeros.Render();
  const QColor top(PixelAt(empty, disc.center)),
      edge(PixelAt(empty, disc.center + QPointF(0, disc.radiusY + disc.thickness / 2)));
  EXPECT_LT(edge.lightness(), top.lightness()) << "the empty disc's edge";
  // A pie's marks hang on grey leaders, painted along their whole length.
  ModelBuilder marked;
  marked.Add(SeriesKind::Pie, {5, 3, 2}).marksVisible = true;
  const ChartLayout markedLayout = marked.Layout();
  ASSERT_FALSE(markedLayout.strokes.empty());
  const QImage leaders = marked.Render();
  for (const Segment& leader : markedLayout.strokes) {
    const QPointF middle = leader.line.center();
    int darkest = 255;
    for (int dy = -1; dy <= 1; ++dy)
      darkest = std::min(darkest, QColor(PixelAt(leaders, middle + QPointF(0, dy))).lightness());
    EXPECT_LT(darkest, 200) << "the leader through " << middle.x() << "," << middle.y();
  }

  ModelBuilder line;
  line.Add(SeriesKind::Line, {5, 5, 5}, kGreen);
  const ChartLayout lineLayout = line.Layout();
  ASSERT_FALSE(lineLayout.lines.empty());
  const QImage lineImage = line.Render();
  const QPolygonF& points = lineLayout.lines.front().points;
  EXPECT_EQ(PixelAt(lineImage, (points[0] + points[1]) / 2), 0x00FF00u);
  // A point alone between two gaps shows as a dot of the line's width and more.
  ModelBuilder lone;
  lone.Add(SeriesKind::Line, {std::nan(""), 5, std::nan("")}, kGreen).marksVisible = false;
  EXPECT_GE(PixelsOf(lone.Render(), 0x00FF00u), 9) << "the dot of a lone point";
  // In 3D the line is a ribbon going back in the shades of its colour, its front edge in the
  // colour itself, rising and falling alike.
  ModelBuilder deep;
  deep.Add(SeriesKind::Line, {2, 9, 4, 7}, kGreen);
  deep.model.view3D = true;
  const QImage ribbon = deep.Render();
  const long length = static_cast<long>(deep.Layout().plot.width());
  EXPECT_GT(PixelsOf(ribbon, 0x00FF00u), length) << "the front edge";
  const QColor green(Qt::green);
  EXPECT_GT(PixelsOf(ribbon, TopShade(green).rgb() & 0xFFFFFF) +
                PixelsOf(ribbon, SideShade(green).rgb() & 0xFFFFFF),
            5 * length)
      << "the ribbon";
}

TEST(Render, ADenseLineIn3DShowsTheRangeOfItsValuesAsTheFlatLineDoes) {
  ModelBuilder b;
  SeriesModel& line = b.Add(SeriesKind::Line, {}, kRed);
  line.points.reserve(1000000);
  for (int i = 0; i < 1000000; ++i)
    line.points.push_back({std::sin(i * 1e-4) * 100 + i % 97, kRed});
  const long flat = PixelsOf(b.Render(1920, 1080), 0xFF0000);
  b.model.view3D = true;
  const ChartLayout layout = b.Layout(1920, 1080);
  EXPECT_LE(layout.faces.size(), static_cast<std::size_t>(2 * layout.plot.width() + 4))
      << "the cost follows the width";
  const long deep = PixelsOf(b.Render(1920, 1080), 0xFF0000);
  EXPECT_GT(flat, 100000);
  EXPECT_GT(deep, flat * 8 / 10) << "the range in the line's own colour, not a wall of shades";
}

// Faces as the layout makes them, of many sizes and slants: boxes, their 3D sides and tops, the
// ribbons of 3D lines, and the curved edge of a 3D pie.
std::vector<QPolygonF> GeneratedFaces(int count) {
  std::mt19937 random(20261209);
  std::uniform_real_distribution<double> size(3, 160), slant(-3, 3), at(20, 60);
  std::vector<QPolygonF> faces;
  for (int i = 0; i < count; ++i) {
    const QPointF a(at(random), at(random) + 60),
        b = a + QPointF(size(random), size(random) * slant(random));
    const QPointF d(size(random) / 4, -size(random) / 4);
    faces.push_back(QPolygonF(QRectF(a, QSizeF(size(random), size(random)))));
    faces.push_back(QPolygonF({a, b, b + d, a + d}));
    faces.push_back(QPolygonF({a, b + d, b, a + d}).mid(0, 3));  // a triangle
    QPolygonF edge;
    const double radius = size(random), thickness = size(random) / 8;
    for (int step = 0; step <= 24; ++step)
      edge.push_back(
          a + QPointF(radius, 0) +
          QPointF(radius * std::cos(step * M_PI / 24), radius / 2 * std::sin(step * M_PI / 24)));
    for (qsizetype k = edge.size() - 1; k >= 0; --k)
      edge.push_back(edge[k] + QPointF(0, thickness));
    faces.push_back(edge);
  }
  return faces;
}

double DistanceToLine(QPointF p, QPointF a, QPointF b) {
  const QPointF e = b - a;
  return std::abs(e.x() * (p.y() - a.y()) - e.y() * (p.x() - a.x())) / std::hypot(e.x(), e.y());
}

// Every corner of the inset polygon lies inside the face at the inset from the lines of both
// edges that meet there; a face too thin for it has none.
TEST(OutlineRing, TheInsetPolygonKeepsItsDistanceFromEveryEdge) {
  int inset = 0;
  for (const QPolygonF& face : GeneratedFaces(300)) {
    for (double width : {0.8, 1.0, 2.5}) {
      const QPolygonF inner = InsetPolygon(face, width);
      if (inner.isEmpty()) continue;
      ++inset;
      QPolygonF corners = face;
      if (corners.size() > 1 && corners.front() == corners.back()) corners.pop_back();
      ASSERT_EQ(inner.size(), corners.size());
      const qsizetype n = corners.size();
      for (qsizetype i = 0; i < n; ++i) {
        const QPointF before = corners[(i + n - 1) % n], here = corners[i],
                      after = corners[(i + 1) % n];
        EXPECT_NEAR(DistanceToLine(inner[i], before, here), width, 1e-9) << i;
        EXPECT_NEAR(DistanceToLine(inner[i], here, after), width, 1e-9) << i;
        EXPECT_TRUE(face.containsPoint(inner[i], Qt::OddEvenFill)) << i;
      }
    }
  }
  EXPECT_GT(inset, 300 * 4 * 3 / 3) << "the faces wide enough for it";
  const QPolygonF thin({QPointF(0, 0), QPointF(100, 0), QPointF(100, 1.5), QPointF(0, 1.5)});
  EXPECT_TRUE(InsetPolygon(thin, 0.8).isEmpty());
  EXPECT_TRUE(
      InsetPolygon(QPolygonF({QPointF(0, 0), QPointF(5, 5), QPointF(10, 10)}), 0.8).isEmpty())
      << "no area";
  EXPECT_TRUE(
      InsetPolygon(QPolygonF({QPointF(0, 0), QPointF(400, 1), QPointF(0, 2)}), 0.8).isEmpty())
      << "too sharp";
}

// The ring looks as a stroke of twice the width clipped to the face does (the way that costs a
// mask of the whole image per face): the same pixels but for a little antialiasing.
TEST(OutlineRing, LooksAsAStrokeClippedToTheFace) {
  const QColor fill(240, 200, 40), outline(90, 60, 10);
  auto render = [&](const QPolygonF& face, double width, bool ring) {
    QImage image(400, 400, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawPolygon(face);
    painter.setRenderHint(QPainter::Antialiasing);
    if (ring) {
      EXPECT_TRUE(PaintOutlineRing(painter, face, outline, width));
    } else {
      QPainterPath path;
      path.addPolygon(face);
      painter.setClipPath(path);
      painter.setPen(QPen(outline, 2 * width));
      painter.setBrush(Qt::NoBrush);
      painter.drawPolygon(face);
    }
    return image;
  };
  for (const QPolygonF& face : GeneratedFaces(60)) {
    for (double width : {0.8, 1.0}) {
      if (OutlineRing(face, width).isEmpty()) continue;
      const QImage clipped = render(face, width, false), ring = render(face, width, true);
      long ink = 0, differing = 0;
      for (int y = 0; y < clipped.height(); ++y) {
        for (int x = 0; x < clipped.width(); ++x) {
          const QColor was(clipped.pixel(x, y)), now(ring.pixel(x, y));
          ink += was.lightness() < 150;
          differing += std::abs(was.lightness() - now.lightness()) > 60;
        }
      }
      EXPECT_LE(differing, ink / 10 + 4) << face.size() << " corners at " << face.front().x() << ","
                                         << face.front().y() << ", width " << width;
    }
  }
}

TEST(Render, PrintPartialDrawsOnlyIntoAProperRectangle) {
  DocumentBuilder b;
  b.Add(SeriesKind::Bar, {1, 2, 3}, kRed);
  QImage image(300, 200, QImage::Format_RGB32);
  image.fill(Qt::blue);
  const QImage untouched = image;
  {
    QPainter painter(&image);
    for (QRect bad : {QRect(10, 10, 0, 50), QRect(50, 50, -40, -40), QRect()}) {
      b.document.PrintPartial(painter, bad);
    }
  }
  EXPECT_EQ(image, untouched);
  {
    QPainter painter(&image);
    b.document.PrintPartial(painter, QRect(100, 50, 150, 100));
  }
  EXPECT_EQ(image.pixel(99, 120) & 0xFFFFFF, 0x0000FFu) << "left of the rectangle stays";
  EXPECT_EQ(image.pixel(250, 120) & 0xFFFFFF, 0x0000FFu) << "right of the rectangle stays";
  EXPECT_EQ(image.pixel(101, 51) & 0xFFFFFF, 0xFFFFFFu) << "the chart's background inside";
}

}  // namespace
