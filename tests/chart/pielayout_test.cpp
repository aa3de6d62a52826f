// Pies: slices, merged thin slices, their marks on leaders, and several pies side by side.

#include <gtest/gtest.h>

#include <QTransform>
#include <cmath>
#include <limits>
#include <map>
#include <numbers>
#include <random>
#include <set>

#include "chart/layout/labelplacer.h"
#include "chart/model/palette.h"
#include "chartfixture.h"

using namespace chart;

namespace {

TEST(PieLayout, SlicesStartAtTwelveClockwiseAndCloseTheCircle) {
  ModelBuilder b;
  b.Add(SeriesKind::Pie, {1, 0, 3, -4});
  const ChartLayout layout = b.Layout();
  ASSERT_EQ(layout.geometry.pies.size(), 1u);
  const auto& slices = layout.geometry.pies[0].slices;
  ASSERT_EQ(slices.size(), 3u) << "the zero slice vanishes";
  EXPECT_DOUBLE_EQ(slices[0].startDegrees, 90);
  EXPECT_DOUBLE_EQ(slices[0].sweepDegrees, -45);
  EXPECT_EQ(slices[1].point, 2);
  EXPECT_DOUBLE_EQ(slices[1].sweepDegrees, -135);
  EXPECT_DOUBLE_EQ(slices[2].sweepDegrees, -180) << "slices take absolute values";
  double sum = 0;
  for (const auto& slice : slices) sum += slice.sweepDegrees;
  EXPECT_DOUBLE_EQ(sum, -360);
}

TEST(PieLayout, EdgeCases) {
  const struct {
    std::vector<double> values;
    std::size_t pies, slices;
  } cases[] = {{{}, 0, 0},
               {{0, 0}, 1, 0},  // all zero: an empty disc
               {{5}, 1, 1},
               {{0, 7, 0}, 1, 1},
               {{0.1, 0.2, 0.3}, 1, 3}};
  for (const auto& c : cases) {
    ModelBuilder b;
    b.Add(SeriesKind::Pie, c.values);
    b.model.legendVisible = true;
    const ChartLayout layout = b.Layout();
    ASSERT_EQ(layout.geometry.pies.size(), c.pies);
    EXPECT_EQ(layout.scene.legend.size(), c.values.size())
        << "every slice is listed, zero ones too";
    if (c.pies == 0) continue;
    ASSERT_EQ(layout.geometry.pies[0].slices.size(), c.slices);
    EXPECT_FALSE(layout.scene.faces.empty()) << "the disc is drawn";
    if (c.slices == 1) {
      EXPECT_DOUBLE_EQ(layout.geometry.pies[0].slices[0].sweepDegrees, -360);
    }
  }
}

// Slices thinner than a pixel of the rim are drawn together, one wedge for each pixel, named by
// the largest value among them (the first of equals): over generated pies of many small slices.
TEST(PieLayout, ThinSlicesMergeIntoWedgesNamedByTheirLargestPoint) {
  std::mt19937 random(20261209u);
  for (int round = 0; round < 20; ++round) {
    std::vector<double> values = {1e6};
    std::uniform_int_distribution<int> small(1, 60);
    for (int i = 0; i < 300; ++i) values.push_back(small(random));
    ModelBuilder b;
    b.Add(SeriesKind::Pie, values);
    const ChartLayout layout = b.Layout();
    ASSERT_EQ(layout.geometry.pies.size(), 1u);
    const std::vector<PieSlice>& slices = layout.geometry.pies[0].slices;
    ASSERT_LT(slices.size(), values.size()) << "thin slices are merged";
    double sum = 0, before = 0;
    for (double v : values) sum += v;
    EXPECT_NEAR(slices[0].sweepDegrees, -values[0] / sum * 360, 1e-6) << "the wide slice alone";
    EXPECT_GT(slices.size(), 2u) << "thin slices make wedges of their own once a pixel wide";
    std::vector<double> starts;  // where each point's slice begins, in degrees
    for (double v : values) starts.push_back(90 - before / sum * 360), before += v;
    for (const PieSlice& slice : slices) {
      int largest = -1;
      for (std::size_t i = 0; i < values.size(); ++i) {
        const bool inside = starts[i] <= slice.startDegrees + 1e-9 &&
                            starts[i] > slice.startDegrees + slice.sweepDegrees + 1e-9;
        if (inside && (largest < 0 || values[i] > values[std::size_t(largest)])) {
          largest = static_cast<int>(i);
        }
      }
      EXPECT_EQ(slice.point, largest) << "round " << round << ", wedge at " << slice.startDegrees;
    }
  }
}

// Each data label of a pie hangs on a leader: from a point of the rim within its own slice, by an
// elbow, to the middle of the label's near side.
TEST(PieLayout, EveryPieMarkHangsOnALeaderFromItsSlice) {
  for (bool view3D : {false, true}) {
    ModelBuilder b;
    b.Add(SeriesKind::Pie, {3, 5, 2, 7, 4, 1});
    b.model.view3D = view3D;
    const ChartLayout layout = b.Layout();
    const PieGeometry& pie = layout.geometry.pies.front();
    int marks = 0;
    for (const TextItem& item : layout.scene.texts) {
      if (item.role != TextRole::DataLabel) continue;
      ++marks;
      const auto slice = std::find_if(pie.slices.begin(), pie.slices.end(),
                                      [&](const PieSlice& s) { return s.point == item.point; });
      ASSERT_NE(slice, pie.slices.end());
      const QRectF box = item.box.translated(item.origin);
      bool hangs = false;
      for (const Segment& first : layout.scene.strokes) {
        // On the rim, or in 3D on the edge below its front half.
        const auto onRim = [&](double down) {
          const QPointF r = first.line.p1() - pie.center - QPointF(0, down);
          const double x = r.x() / pie.radiusX, y = -r.y() / pie.radiusY;
          double degrees = std::atan2(y, x) * 180 / std::numbers::pi;
          while (degrees > slice->startDegrees) degrees -= 360;
          return std::abs(std::hypot(x, y) - 1) < 0.02 &&
                 degrees >= slice->startDegrees + slice->sweepDegrees;
        };
        if (!onRim(0) && !onRim(pie.thickness)) continue;
        for (const Segment& second : layout.scene.strokes) {
          const QPointF end = second.line.p2();
          hangs |= second.line.p1() == first.line.p2() &&
                   std::abs(end.y() - box.center().y()) < 1 &&
                   (std::abs(end.x() - box.left()) < 1 || std::abs(end.x() - box.right()) < 1);
        }
      }
      EXPECT_TRUE(hangs) << (view3D ? "3D" : "flat") << ": the mark of point " << item.point;
    }
    EXPECT_EQ(marks, 6);
  }
}

TEST(PieLayout, SeveralPiesSideBySideEachUnderItsTitle) {
  ModelBuilder b;
  b.Add(SeriesKind::Pie, {1, 2}).title = "First";
  b.Add(SeriesKind::Pie, {3, 4}).title = "Second";
  const ChartLayout layout = b.Layout();
  ASSERT_EQ(layout.geometry.pies.size(), 2u);
  EXPECT_LT(layout.geometry.pies[0].center.x(), layout.geometry.pies[1].center.x());
  for (const char* title : {"First", "Second"}) {
    const auto found = std::find_if(layout.scene.texts.begin(), layout.scene.texts.end(),
                                    [&](const TextItem& t) { return t.text == title; });
    ASSERT_NE(found, layout.scene.texts.end()) << title;
  }
}

// The share of the chart's height that the discs (with their 3D edges) stand on.
double ShareOfHeightCovered(const ChartLayout& layout) {
  std::vector<std::pair<double, double>> spans;
  for (const PieGeometry& pie : layout.geometry.pies) {
    spans.emplace_back(pie.center.y() - pie.radiusY, pie.center.y() + pie.radiusY + pie.thickness);
  }
  std::sort(spans.begin(), spans.end());
  double covered = 0, reached = -1e9;
  for (const auto& [top, bottom] : spans) {
    covered += std::max(0.0, bottom - std::max(top, reached));
    reached = std::max(reached, bottom);
  }
  return covered / layout.scene.size.height();
}

TEST(PieLayout, SeveralPiesUseTheHeightOfThePlotAndShowEveryMark) {
  const std::vector<std::string> regions = {"North", "South", "East", "West", "Central", "Online"};
  const std::vector<double> values = {420, 310, 275, 390, 150, 95};
  for (int count : {2, 3, 4, 6}) {
    for (bool view3D : {false, true}) {
      ModelBuilder b;
      b.model.view3D = view3D;
      b.model.title.lines = {"Customers by region"};
      for (int p = 0; p < count; ++p) {
        SeriesModel& pie = b.Add(SeriesKind::Pie, {});
        pie.title = std::to_string(2020 + p);
        for (std::size_t i = 0; i < values.size(); ++i)
          b.AddPoint(pie, values[i] + p * 10, regions[i], kAutomaticColor);
      }
      const ChartLayout layout = b.Layout(720, 450);
      ASSERT_EQ(layout.geometry.pies.size(), static_cast<std::size_t>(count));
      EXPECT_GT(ShareOfHeightCovered(layout), 0.33) << count << (view3D ? " in 3D" : " flat");
      for (const PieGeometry& pie : layout.geometry.pies) {
        EXPECT_EQ(pie.radiusX, layout.geometry.pies.front().radiusX) << "one size for all";
      }
      const auto marks = std::count_if(layout.scene.texts.begin(), layout.scene.texts.end(),
                                       [](const TextItem& t) { return t.framed; });
      EXPECT_EQ(marks, count * 6) << count << (view3D ? " in 3D" : " flat");
    }
  }
}

// A pie's mark too wide for its column keeps its value and shortens its label, or shows the value
// alone where no letter of the label fits: never a label without its value.
TEST(PieLayout, AMarkShortensItsLabelAndKeepsItsValue) {
  ModelBuilder b;
  SeriesModel& pie = b.Add(SeriesKind::Pie, {});
  for (int i = 1; i <= 5; ++i) {
    b.AddPoint(pie, 10 + i, "Revenue of the regional office number " + std::to_string(i),
               kAutomaticColor);
  }
  int shortened = 0;
  for (int width = 200; width <= 900; width += 50) {
    for (const TextItem& t : b.Layout(width, 400).scene.texts) {
      if (!t.framed) continue;
      const std::string text = t.text.toStdString();
      const std::string value = text.substr(text.find_last_of(' ') + 1);
      EXPECT_TRUE(value.size() == 2 && std::stoi(value) > 10 && std::stoi(value) <= 15) << text;
      EXPECT_FALSE(text.starts_with(":")) << text;
      shortened += t.text.contains(QChar(0x2026)) && t.text.contains(": ");
    }
  }
  EXPECT_GT(shortened, 0) << "some marks show a shortened label with their value";
}

TEST(PieLayout, MarksOfThinSlicesAreLeftOutNotPiledUp) {
  ModelBuilder b;
  std::vector<double> values(60, 0.01);
  values.push_back(100);
  b.Add(SeriesKind::Pie, values);
  const ChartLayout layout = b.Layout(585, 401);
  std::vector<QRectF> marks;
  for (const TextItem& t : layout.scene.texts) {
    if (t.framed) marks.push_back(t.box.translated(t.origin));
  }
  EXPECT_GT(marks.size(), 1u);
  EXPECT_LT(marks.size(), values.size());
  for (std::size_t i = 0; i < marks.size(); ++i) {
    for (std::size_t k = i + 1; k < marks.size(); ++k) EXPECT_FALSE(marks[i].intersects(marks[k]));
  }
}

// Where thin slices crowd one side, their marks take the free room beside the disc above and
// below the crowd, as far as their leaders stay clear of the disc: sixty slices of long names,
// shrinking from the top clockwise, crowd the left side, whose upper half then holds marks too.
TEST(PieLayout, CrowdedMarksTakeTheFreeRoomBesideTheDisc) {
  ModelBuilder b;
  SeriesModel& pie = b.Add(SeriesKind::Pie, {});
  for (int k = 0; k < 60; ++k) {
    b.AddPoint(pie, 22 + 316 / std::pow(1 + k, 0.8), "Product line number " + std::to_string(k),
               kAutomaticColor);
  }
  for (const QSizeF size : {QSizeF(1920, 1080), QSizeF(1200, 700)}) {
    const double scale = ImageTextScale(size);
    const ChartLayout layout =
        LayoutOf(b.Model(), size.width() / scale, size.height() / scale, scale);
    const QPointF center = layout.geometry.pies.front().center;
    int upperLeft = 0;
    for (const TextItem& t : layout.scene.texts) {
      const QRectF box = t.box.translated(t.origin);
      upperLeft +=
          t.role == TextRole::DataLabel && box.right() < center.x() && box.bottom() < center.y();
    }
    EXPECT_GT(upperLeft, 5) << size.width() << " x " << size.height();
  }
}

}  // namespace
