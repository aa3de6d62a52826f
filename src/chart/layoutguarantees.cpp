// The check of the layout's guarantees (see layoutguarantees.h). It reads the layout's geometry
// and measures its texts, and works out from the model alone what the layout must show, so that
// a fault in the layout's own arithmetic cannot hide itself.

#include "chart/layoutguarantees.h"

#include <QFontMetricsF>
#include <QTransform>
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <map>
#include <sstream>

#include "chart/facecoverage.h"
#include "chart/labelplacer.h"
#include "chart/layoutsteps.h"

namespace chart {

namespace {

constexpr double kSlack = 0.5;  // pixels: rounding of text measures and of placing
constexpr double kMinCategoryPixels = 4;
constexpr double kPixelsPerDepthRow = 8;
constexpr double kMinAxisFill = 0.6;

struct Report {
  std::vector<BrokenGuarantee> broken;
  void Add(Guarantee guarantee, const std::string& what) {
    // A broken layout may break the same promise thousands of times: a few say enough.
    const auto same = std::count_if(broken.begin(), broken.end(), [&](const BrokenGuarantee& b) {
      return b.guarantee == guarantee;
    });
    if (same < 5) broken.push_back({guarantee, what});
  }
};

std::string Quoted(const QString& text) { return "\"" + text.toStdString() + "\""; }

QPolygonF Corners(const QRectF& rect) {
  return QPolygonF({rect.topLeft(), rect.topRight(), rect.bottomRight(), rect.bottomLeft()});
}

struct PlacedText {
  const TextItem* item;
  QPolygonF corners;
  bool legend;
};

std::vector<PlacedText> AllTexts(const ChartLayout& layout) {
  std::vector<PlacedText> texts;
  for (const TextItem& item : layout.texts) {
    texts.push_back({&item, TextCorners(layout, item), false});
  }
  for (const LegendItem& entry : layout.legend) {
    texts.push_back({&entry.text, TextCorners(layout, entry.text), true});
  }
  return texts;
}

void CheckTextsInside(const ChartLayout& layout, const std::vector<PlacedText>& texts,
                      Report& report) {
  const QRectF chart =
      QRectF(QPointF(0, 0), layout.size).adjusted(-kSlack, -kSlack, kSlack, kSlack);
  for (const PlacedText& text : texts) {
    for (const QPointF& corner : text.corners) {
      if (chart.contains(corner)) continue;
      report.Add(Guarantee::TextInside, Quoted(text.item->text) + " reaches out of the chart");
      break;
    }
  }
}

// Texts are sorted into cells of a grid by their bounding boxes, so that thousands of them cost
// about as much to check as they cost to lay out.
void CheckTextsApart(const ChartLayout& layout, const std::vector<PlacedText>& texts,
                     Report& report) {
  constexpr double kCell = 64;
  std::map<std::pair<long long, long long>, std::vector<std::size_t>> cells;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const QRectF bounds = texts[i].corners.boundingRect();
    if (!std::isfinite(bounds.width()) || !std::isfinite(bounds.height())) continue;
    const auto cell = [](double v) { return static_cast<long long>(std::floor(v / kCell)); };
    for (long long x = cell(bounds.left()); x <= cell(bounds.right()); ++x) {
      for (long long y = cell(bounds.top()); y <= cell(bounds.bottom()); ++y) {
        std::vector<std::size_t>& here = cells[{x, y}];
        for (std::size_t j : here) {
          if (Separated(texts[i].corners, texts[j].corners, kSlack)) continue;
          report.Add(Guarantee::TextsApart,
                     Quoted(texts[i].item->text) + " overlaps " + Quoted(texts[j].item->text));
        }
        here.push_back(i);
      }
    }
  }
  if (layout.legend.empty()) return;
  const QPolygonF frame = Corners(layout.legendFrame);
  for (const PlacedText& text : texts) {
    if (text.legend || Separated(text.corners, frame, kSlack)) continue;
    report.Add(Guarantee::TextsApart, Quoted(text.item->text) + " lies on the legend");
  }
}

// (iii): a face shows where some point inside it is covered by nothing drawn later: no face, and
// no mark or legend, which are drawn over the faces.
class Coverage {
 public:
  explicit Coverage(const ChartLayout& layout) : faces_(layout.faces, layout.size) {
    for (const TextItem& item : layout.texts) {
      if (item.framed) covers_.push_back(TextCorners(layout, item).boundingRect());
    }
    if (!layout.legend.empty()) covers_.push_back(layout.legendFrame);
  }

  bool Shows(std::size_t face) const {
    for (const QPointF& point : faces_.VisiblePoints(face)) {
      const bool covered = std::any_of(covers_.begin(), covers_.end(),
                                       [&](const QRectF& cover) { return cover.contains(point); });
      if (!covered) return true;
    }
    return false;
  }

 private:
  FaceCoverage faces_;
  std::vector<QRectF> covers_;
};

bool HasNonZeroValue(const SeriesModel& series) {
  return std::any_of(series.points.begin(), series.points.end(), [](const ChartPoint& point) {
    return std::isfinite(point.value) && point.value != 0;
  });
}

std::vector<const SeriesModel*> DrawnSeriesOf(const ChartModel& model, const ChartLayout& layout) {
  std::vector<const SeriesModel*> drawn;
  for (int index : layout.drawnSeries)
    drawn.push_back(&model.series[static_cast<std::size_t>(index)]);
  return drawn;
}

// How many pixels each category needs before every series must show.
// Bars beside each other need a pixel each and one between; in 3D, series that stand in depth
// rows of their own (bars of mode 0, lines) need a few pixels of each category per row, or the
// rows of one category reach into the next one's.
double PixelsEachCategoryNeeds(const ChartModel& model,
                               const std::vector<const SeriesModel*>& drawn) {
  const auto bars = std::count_if(drawn.begin(), drawn.end(),
                                  [](const SeriesModel* one) { return IsBar(one->kind); });
  const auto lines = static_cast<std::ptrdiff_t>(drawn.size()) - bars;
  const MultiBar mode = MultiBarOf(drawn);
  const bool deep = Depth3DShare(model) > 0;
  const bool beside = mode == MultiBar::SideBySide || (mode == MultiBar::None && !deep);
  double needs = beside && bars > 1 ? std::max(kMinCategoryPixels, bars + 2.0) : kMinCategoryPixels;
  if (deep) {
    const auto rows = lines + (mode == MultiBar::None ? bars : (bars > 0 ? 1 : 0));
    if (rows > 1) needs = std::max(needs, static_cast<double>(rows) * kPixelsPerDepthRow);
  }
  return needs;
}

void CheckAxesSeriesShow(const ChartModel& model, const ChartLayout& layout,
                         const std::vector<const SeriesModel*>& drawn, Report& report) {
  std::size_t categories = 0;
  for (const SeriesModel* one : drawn) categories = std::max(categories, one->points.size());
  if (categories == 0 || layout.plot.isEmpty()) return;
  const bool horizontal = Traits(ChartKindOf(model)).horizontal;
  const double slot = (horizontal ? layout.plot.height() : layout.plot.width()) / categories;
  if (slot < PixelsEachCategoryNeeds(model, drawn)) return;
  const Coverage coverage(layout);
  for (std::size_t s = 0; s < drawn.size(); ++s) {
    if (!HasNonZeroValue(*drawn[s])) continue;
    const int series = static_cast<int>(s);
    bool shows = std::any_of(layout.lines.begin(), layout.lines.end(),
                             [&](const Polyline& line) { return line.series == series; });
    for (std::size_t f = layout.faces.size(); f-- > 0 && !shows;) {
      shows = layout.faces[f].series == series && coverage.Shows(f);
    }
    if (!shows) {
      report.Add(Guarantee::SeriesVisible,
                 "series " + std::to_string(layout.drawnSeries[s]) + " has no visible area");
    }
  }
}

void CheckPiesShow(const ChartLayout& layout, const std::vector<const SeriesModel*>& drawn,
                   Report& report) {
  if (layout.pies.empty()) return;  // no room for any pie: nothing drawn at all
  for (std::size_t s = 0; s < drawn.size(); ++s) {
    if (!HasNonZeroValue(*drawn[s])) continue;
    const bool shows =
        std::any_of(layout.pies.begin(), layout.pies.end(), [&](const PieGeometry& pie) {
          return pie.series == static_cast<int>(s) && pie.radiusX >= 2 && !pie.slices.empty();
        });
    if (!shows) {
      report.Add(Guarantee::SeriesVisible,
                 "pie " + std::to_string(layout.drawnSeries[s]) + " is not drawn");
    }
  }
}

void CheckLegend(const ChartModel& model, const ChartLayout& layout,
                 const std::vector<const SeriesModel*>& drawn, bool listsPoints, Report& report) {
  const bool drawsAnything = !layout.plot.isEmpty() || !layout.pies.empty();
  if (!model.legendVisible || !drawsAnything || drawn.empty()) return;
  std::vector<int> expected;
  if (listsPoints) {
    const auto& points = drawn.front()->points;
    for (std::size_t i = 0; i < points.size(); ++i) {
      if (std::isfinite(points[i].value)) expected.push_back(static_cast<int>(i));
    }
  } else {
    for (std::size_t s = 0; s < drawn.size(); ++s) expected.push_back(static_cast<int>(s));
  }
  std::vector<int> shown;
  bool counted = false;  // the last line counts the entries left out
  for (const LegendItem& item : layout.legend) {
    if (item.entry < 0) {
      counted = true;
    } else {
      shown.push_back(item.entry);
    }
  }
  const bool prefix =
      shown.size() <= expected.size() && std::equal(shown.begin(), shown.end(), expected.begin());
  const bool complete = shown.size() == expected.size() && !counted;
  const bool fine = listsPoints ? prefix && (complete || (counted && !layout.legend.empty() &&
                                                          layout.legend.back().entry < 0))
                                : complete && prefix;
  if (!fine && !expected.empty()) {
    report.Add(Guarantee::LegendComplete, "the legend shows " + std::to_string(shown.size()) +
                                              " of " + std::to_string(expected.size()) +
                                              " entries, or not in their order");
  }
}

// (iv): what the value axis must hold, worked out from the model's values and the pixels that
// bars keep beyond zero.
struct ValueSpan {
  double low = std::numeric_limits<double>::infinity();
  double high = -std::numeric_limits<double>::infinity();
  void Add(double v) {
    if (!std::isfinite(v)) return;
    low = std::min(low, v);
    high = std::max(high, v);
  }
  bool Empty() const { return low > high; }
};

double Bounded(double v) {
  return std::clamp(v, -std::numeric_limits<double>::max(), std::numeric_limits<double>::max());
}

// Bars keep pixels beyond zero on the side of their values, a pixel more than they need: a stack
// one for each series that has values there, a single bar one.
struct PixelsBeyondZero {
  int above = 0;
  int below = 0;
};

PixelsBeyondZero BarPixelsBeyondZero(const std::vector<const SeriesModel*>& drawn) {
  const MultiBar mode = MultiBarOf(drawn);
  const bool stacked = mode == MultiBar::Stacked || mode == MultiBar::Stacked100;
  PixelsBeyondZero pixels;
  for (const SeriesModel* one : drawn) {
    if (!IsBar(one->kind)) continue;
    bool above = false, below = false;
    for (const ChartPoint& point : one->points) {
      above = above || (std::isfinite(point.value) && point.value > 0);
      below = below || (std::isfinite(point.value) && point.value < 0);
    }
    if (above) pixels.above = stacked ? pixels.above + 1 : 1;
    if (below) pixels.below = stacked ? pixels.below + 1 : 1;
  }
  if (pixels.above > 0) ++pixels.above;
  if (pixels.below > 0) ++pixels.below;
  return pixels;
}

ValueSpan ShownValues(const std::vector<const SeriesModel*>& drawn) {
  ValueSpan span;
  const MultiBar mode = MultiBarOf(drawn);
  const bool stacked = mode == MultiBar::Stacked || mode == MultiBar::Stacked100;
  std::size_t categories = 0;
  for (const SeriesModel* one : drawn) {
    if (!IsBar(one->kind) || !stacked) {
      for (const ChartPoint& point : one->points) span.Add(point.value);
    }
    if (IsBar(one->kind)) span.Add(0);
    categories = std::max(categories, one->points.size());
  }
  if (!stacked) return span;
  for (std::size_t c = 0; c < categories; ++c) {
    long double positive = 0, negative = 0, total = 0;  // no sum of doubles overflows these
    for (const SeriesModel* one : drawn) {
      if (!IsBar(one->kind) || c >= one->points.size()) continue;
      const double v = one->points[c].value;
      if (!std::isfinite(v)) continue;
      (v >= 0 ? positive : negative) += v;
      total += std::abs(v);
    }
    if (mode == MultiBar::Stacked100) {
      if (!(total > 0)) continue;
      positive = std::min<long double>(100, positive / total * 100);
      negative = std::max<long double>(-100, negative / total * 100);
    }
    span.Add(Bounded(static_cast<double>(positive)));
    span.Add(Bounded(static_cast<double>(negative)));
  }
  return span;
}

// The distance from `low` to `high`, in long double, whose range neither the largest doubles
// overflow nor the smallest lose.
long double Span(double low, double high) { return static_cast<long double>(high) - low; }

bool IsNiceStep(double step) {
  if (!(step > 0) || !std::isfinite(step)) return false;
  const double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
  for (double nice : {1.0, 2.0, 5.0, 10.0}) {
    if (std::abs(mantissa - nice) <= nice * 1e-6) return true;
  }
  return false;
}

void CheckTicks(const ChartLayout& layout, double tolerance, Report& report) {
  const auto& ticks = layout.valueTicks;
  for (double tick : ticks) {
    if (tick < layout.valueMin - tolerance || tick > layout.valueMax + tolerance) {
      report.Add(Guarantee::AxisFits, "tick " + std::to_string(tick) + " lies off the axis");
    }
  }
  if (ticks.size() < 2) return;
  const long double step = Span(ticks[0], ticks[1]);
  // Doubles below the smallest normal one hold too few digits for even steps of 1, 2 or 5.
  if (step < std::numeric_limits<double>::min()) return;
  for (std::size_t i = 1; i < ticks.size(); ++i) {
    const long double gap = Span(ticks[i - 1], ticks[i]);
    if (!(std::abs(gap - step) <= std::abs(step) * 1e-6L)) {
      report.Add(Guarantee::AxisFits, "the ticks are not evenly spaced");
      return;
    }
  }
  if (!IsNiceStep(static_cast<double>(std::min<long double>(step, DBL_MAX)))) {
    report.Add(Guarantee::AxisFits, "the tick step is not 1, 2 or 5");
  }
  for (double tick : ticks) {
    if (tick != 0 && std::abs(tick) < step * 1e-6L)
      report.Add(Guarantee::AxisFits, "a tick next to zero is not exactly zero");
  }
}

void CheckValueAxis(const ChartModel& model, const ChartLayout& layout,
                    const std::vector<const SeriesModel*>& drawn, Report& report) {
  if (layout.plot.isEmpty()) return;
  const double min = layout.valueMin, max = layout.valueMax;
  const long double length = Span(min, max);
  if (!(length > 0) || !std::isfinite(length)) {
    report.Add(Guarantee::AxisFits, "the value axis has no length");
    return;
  }
  const double tolerance = static_cast<double>(length * 1e-9L);
  CheckTicks(layout, tolerance, report);
  ValueSpan shown = ShownValues(drawn);
  const double pixelsLong =
      Traits(ChartKindOf(model)).horizontal ? layout.plot.width() : layout.plot.height();
  const long double perPixel = length / pixelsLong;
  const PixelsBeyondZero pixels = BarPixelsBeyondZero(drawn);
  if (pixels.above > 0) {
    shown.Add(static_cast<double>(std::min<long double>(pixels.above * perPixel * 0.999999L, max)));
  }
  if (pixels.below > 0) {
    shown.Add(
        static_cast<double>(std::max<long double>(-pixels.below * perPixel * 0.999999L, min)));
  }
  if (!shown.Empty()) {
    if (shown.low < min - tolerance || shown.high > max + tolerance) {
      report.Add(Guarantee::AxisFits, "the axis does not hold every value it shows");
    }
    const double fill = static_cast<double>(Span(shown.low, shown.high) / length);
    if (shown.high > shown.low && fill < kMinAxisFill - 1e-9) {
      report.Add(Guarantee::AxisFits,
                 "the values fill only " + std::to_string(int(fill * 100)) + " % of the axis");
    }
  }
  const QPointF d = layout.depthOffset;
  const QRectF room = layout.plot.adjusted(-1, d.y() - 1, d.x() + 1, 1);
  for (const BarBox& bar : layout.bars) {
    if (room.contains(bar.front)) continue;
    report.Add(Guarantee::AxisFits, "a bar reaches out of the plot");
    break;
  }
}

const char* NameOf(Guarantee guarantee) {
  switch (guarantee) {
    case Guarantee::TextInside:
      return "(i) text inside";
    case Guarantee::TextsApart:
      return "(ii) texts apart";
    case Guarantee::SeriesVisible:
      return "(iii) series visible";
    case Guarantee::LegendComplete:
      return "(iii) legend complete";
    case Guarantee::AxisFits:
      return "(iv) value axis";
  }
  return "?";
}

}  // namespace

std::vector<BrokenGuarantee> BrokenGuarantees(const ChartModel& model, const ChartLayout& layout) {
  Report report;
  const std::vector<PlacedText> texts = AllTexts(layout);
  CheckTextsInside(layout, texts, report);
  CheckTextsApart(layout, texts, report);
  const std::vector<const SeriesModel*> drawn = DrawnSeriesOf(model, layout);
  if (drawn.empty()) return report.broken;
  const SeriesKindTraits& kind = Traits(ChartKindOf(model));
  if (kind.shape == SeriesShape::Slices) {
    CheckPiesShow(layout, drawn, report);
  } else {
    CheckAxesSeriesShow(model, layout, drawn, report);
    CheckValueAxis(model, layout, drawn, report);
  }
  CheckLegend(model, layout, drawn, kind.colorPerPoint, report);
  return report.broken;
}

std::string DescribeBroken(const std::vector<BrokenGuarantee>& broken) {
  std::ostringstream text;
  for (const BrokenGuarantee& one : broken)
    text << NameOf(one.guarantee) << ": " << one.what << "\n";
  return text.str();
}

}  // namespace chart
