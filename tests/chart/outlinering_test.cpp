// The outline ring drawn inside each face: its inset polygon keeps its distance from every edge,
// and it looks as a stroke clipped to the face does.

#include "chart/render/outlinering.h"

#include <gtest/gtest.h>

#include <QPainterPath>
#include <cmath>
#include <numbers>
#include <random>

#include "chart/layout/chartlayout.h"
#include "chartfixture.h"

using namespace chart;

namespace {

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

// On an image, the ring inside a rectangle at whole pixels covers each pixel by the part of it
// that lies in the ring: the outer rectangle's area in the pixel less the inner one's.
TEST(OutlineRing, OnWholePixelsEachPixelTakesThePartTheRingCovers) {
  auto overlap = [](double a0, double a1, double b0, double b1) {
    return std::max(0.0, std::min(a1, b1) - std::max(a0, b0));
  };
  auto area = [&](const QRectF& r, int x, int y) {
    return overlap(r.left(), r.right(), x, x + 1) * overlap(r.top(), r.bottom(), y, y + 1);
  };
  const QColor fill(240, 200, 40), outline(20, 60, 160);
  std::mt19937 random(20261210);
  std::uniform_int_distribution<int> at(0, 40), size(1, 60);
  std::uniform_real_distribution<double> widths(0.1, 4.5);
  int painted = 0;
  for (int i = 0; i < 400; ++i) {
    const QRectF face(at(random), at(random), size(random), size(random));
    const double width = i % 5 == 0 ? std::round(widths(random)) : widths(random);
    QImage image(110, 110, QImage::Format_RGB32);
    image.fill(fill);
    QPainter painter(&image);
    const bool ring = PaintOutlineRing(painter, QPolygonF(face), outline, width);
    painter.end();
    const double room = std::min(face.width(), face.height());
    ASSERT_EQ(ring, 2 * width < room) << "a ring where it fits, width " << width;
    // Where the two sides' part-covered pixels meet, the ring is left to the path rasterizer.
    if (!ring || 2 * std::ceil(width) > room) continue;
    ++painted;
    const QRectF inner = face.adjusted(width, width, -width, -width);
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const double covered = area(face, x, y) - area(inner, x, y);
        const QColor pixel(image.pixel(x, y));
        auto expected = [&](int under, int over) { return under + covered * (over - under); };
        ASSERT_NEAR(pixel.red(), expected(fill.red(), outline.red()), 2.5)
            << "pixel " << x << "," << y << " of " << face.x() << "," << face.y() << " "
            << face.width() << "x" << face.height() << ", width " << width;
        ASSERT_NEAR(pixel.blue(), expected(fill.blue(), outline.blue()), 2.5);
      }
    }
  }
  EXPECT_GT(painted, 100);
}

}  // namespace
