// The check of the layout's guarantees (see layoutguarantees.h). It reads the layout's geometry
// and measures its texts, and works out from the model alone what the layout must show, so that
// a fault in the layout's own arithmetic cannot hide itself.

#include "layoutcheck/layoutguarantees.h"

#include <QFontMetricsF>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <sstream>

#include "chart/layout/chartlayout.h"
#include "layoutcheck/datapixels.h"
#include "layoutcheck/facecoverage.h"
#include "layoutcheck/guaranteechecks.h"

namespace chart {

namespace {

constexpr double kSlack = kCheckSlack;
constexpr double kMinCategoryPixels = 4;
constexpr double kPixelsPerDepthRow = 14;

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
  for (const TextItem& item : layout.scene.texts) {
    texts.push_back({&item, LetterCorners(layout, item), false});
  }
  for (const LegendItem& entry : layout.scene.legend) {
    texts.push_back({&entry.text, LetterCorners(layout, entry.text), true});
  }
  return texts;
}

void CheckTextsInside(const ChartLayout& layout, const std::vector<PlacedText>& texts,
                      GuaranteeReport& report) {
  const QRectF chart =
      QRectF(QPointF(0, 0), layout.scene.size).adjusted(-kSlack, -kSlack, kSlack, kSlack);
  for (const PlacedText& text : texts) {
    for (const QPointF& corner : text.corners) {
      if (chart.contains(corner)) continue;
      report.Add(Guarantee::TextInside, Quoted(text.item->text) + " reaches out of the chart");
      break;
    }
  }
}

// (xiii): what is drawn keeps off the chart's outermost pixels, where an image would cut it: a
// line's or an outline's half width included, and the texts' boxes.
void CheckOuterEdge(const ChartLayout& layout, const std::vector<PlacedText>& texts,
                    GuaranteeReport& report) {
  const double edge = layout.geometry.leastPixels;
  const QRectF inside = QRectF(QPointF(0, 0), layout.scene.size)
                            .adjusted(edge, edge, -edge, -edge)
                            .adjusted(-kSlack, -kSlack, kSlack, kSlack);
  const auto check = [&](QRectF bounds, double pen, const std::string& what) {
    bounds.adjust(-pen / 2, -pen / 2, pen / 2, pen / 2);
    if (bounds.isEmpty() || inside.contains(bounds)) return;
    report.Add(Guarantee::OffTheEdge, what + " reaches the chart's outermost pixels");
  };
  for (const auto* faces : {&layout.scene.walls, &layout.scene.faces}) {
    for (const Face& face : *faces) check(face.polygon.boundingRect(), 1, "a face");
  }
  for (const Polyline& line : layout.scene.lines)
    check(line.points.boundingRect(), line.width, "a line");
  for (const auto* segments : {&layout.scene.grid, &layout.scene.strokes}) {
    for (const Segment& segment : *segments) {
      check(QRectF(segment.line.p1(), segment.line.p2()).normalized(), segment.width, "a line");
    }
  }
  if (!layout.scene.legend.empty()) check(layout.scene.legendFrame, 1, "the legend's frame");
  for (const PlacedText& text : texts) {
    check(text.corners.boundingRect(), 0, Quoted(text.item->text));
  }
}

// Texts are sorted into cells of a grid by their bounding boxes, so that thousands of them cost
// about as much to check as they cost to lay out.
void CheckTextsApart(const ChartLayout& layout, const std::vector<PlacedText>& texts,
                     GuaranteeReport& report) {
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
          if (ShapesApart(texts[i].corners, texts[j].corners, kSlack)) continue;
          report.Add(Guarantee::TextsApart,
                     Quoted(texts[i].item->text) + " overlaps " + Quoted(texts[j].item->text));
        }
        here.push_back(i);
      }
    }
  }
  if (layout.scene.legend.empty()) return;
  const QPolygonF frame = Corners(layout.scene.legendFrame);
  for (const PlacedText& text : texts) {
    if (text.legend || ShapesApart(text.corners, frame, kSlack)) continue;
    report.Add(Guarantee::TextsApart, Quoted(text.item->text) + " lies on the legend");
  }
}

// (iii): a face shows where some point inside it is covered by nothing drawn later: no face, and
// no mark or legend, which are drawn over the faces.
class Coverage {
 public:
  explicit Coverage(const ChartLayout& layout) : faces_(layout.scene.faces, layout.scene.size) {
    for (const TextItem& item : layout.scene.texts) {
      if (item.framed) covers_.push_back(LetterCorners(layout, item).boundingRect());
    }
    if (!layout.scene.legend.empty()) covers_.push_back(layout.scene.legendFrame);
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

void CheckAxesSeriesShow(const ChartModel& model, const ChartLayout& layout,
                         const std::vector<const SeriesModel*>& drawn, GuaranteeReport& report) {
  if (!CategoriesHaveRoom(model, layout, drawn)) return;
  const Coverage coverage(layout);
  for (std::size_t s = 0; s < drawn.size(); ++s) {
    if (!HasNonZeroValue(*drawn[s])) continue;
    const int series = static_cast<int>(s);
    bool shows = std::any_of(layout.scene.lines.begin(), layout.scene.lines.end(),
                             [&](const Polyline& line) { return line.series == series; });
    for (std::size_t f = layout.scene.faces.size(); f-- > 0 && !shows;) {
      shows = layout.scene.faces[f].series == series && coverage.Shows(f);
    }
    if (!shows) {
      report.Add(
          Guarantee::SeriesVisible,
          "series " + std::to_string(layout.geometry.drawnSeries[s]) + " has no visible area");
    }
  }
}

void CheckPiesShow(const ChartLayout& layout, const std::vector<const SeriesModel*>& drawn,
                   GuaranteeReport& report) {
  if (layout.geometry.pies.empty()) return;  // no room for any pie: nothing drawn at all
  for (std::size_t s = 0; s < drawn.size(); ++s) {
    if (!HasNonZeroValue(*drawn[s])) continue;
    const bool shows = std::any_of(
        layout.geometry.pies.begin(), layout.geometry.pies.end(), [&](const PieGeometry& pie) {
          return pie.series == static_cast<int>(s) && pie.radiusX >= 2 && !pie.slices.empty();
        });
    if (!shows) {
      report.Add(Guarantee::SeriesVisible,
                 "pie " + std::to_string(layout.geometry.drawnSeries[s]) + " is not drawn");
    }
  }
}

void CheckLegend(const ChartModel& model, const ChartLayout& layout,
                 const std::vector<const SeriesModel*>& drawn, bool listsPoints,
                 GuaranteeReport& report) {
  const bool drawsAnything = !layout.geometry.plot.isEmpty() || !layout.geometry.pies.empty();
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
  for (const LegendItem& item : layout.scene.legend) {
    if (item.entry < 0) {
      counted = true;
    } else {
      shown.push_back(item.entry);
    }
  }
  const bool prefix =
      shown.size() <= expected.size() && std::equal(shown.begin(), shown.end(), expected.begin());
  const bool complete = shown.size() == expected.size() && !counted;
  const bool fine = listsPoints ? prefix && (complete || (counted && !layout.scene.legend.empty() &&
                                                          layout.scene.legend.back().entry < 0))
                                : complete && prefix;
  if (!fine && !expected.empty()) {
    report.Add(Guarantee::LegendComplete, "the legend shows " + std::to_string(shown.size()) +
                                              " of " + std::to_string(expected.size()) +
                                              " entries, or not in their order");
  }
}

}  // namespace

// A text of the chart in a report, its control characters written as \xNN.
std::string Quoted(const QString& text) {
  std::string quoted = "\"";
  for (const QChar c : text) {
    if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      quoted += std::string("\\x") + kHex[c.unicode() >> 4] + kHex[c.unicode() & 0xF];
    } else {
      quoted += QString(c).toStdString();
    }
  }
  return quoted + "\"";
}

void GuaranteeReport::Add(Guarantee guarantee, const std::string& what) {
  const auto same = std::count_if(broken_.begin(), broken_.end(), [&](const BrokenGuarantee& b) {
    return b.guarantee == guarantee;
  });
  if (same < 5) broken_.push_back({guarantee, what});
}

bool HasNonZeroValue(const SeriesModel& series) {
  return std::any_of(series.points.begin(), series.points.end(), [](const ChartPoint& point) {
    return std::isfinite(point.value) && point.value != 0;
  });
}

std::vector<const SeriesModel*> DrawnSeriesOf(const ChartModel& model, const ChartLayout& layout) {
  std::vector<const SeriesModel*> drawn;
  for (int index : layout.geometry.drawnSeries)
    drawn.push_back(&model.series[static_cast<std::size_t>(index)]);
  return drawn;
}

// How many pixels each category needs before every series must show.
// Bars beside each other need a pixel each and one between; in 3D, series that stand in depth
// rows of their own (bars of mode 0, lines) need a few pixels of each category per row, or the
// rows of one category reach into the next one's.
double PixelsEachCategoryNeeds(const ChartModel& model,
                               const std::vector<const SeriesModel*>& drawn) {
  const auto bars = std::count_if(drawn.begin(), drawn.end(), [](const SeriesModel* one) {
    return Traits(one->kind).sharesSlot;
  });
  const auto lines = static_cast<std::ptrdiff_t>(drawn.size()) - bars;
  const BarGrouping mode = BarGroupingOf(drawn);
  const bool deep = Depth3DShare(model) > 0;
  const bool beside = mode == BarGrouping::SideBySide || (mode == BarGrouping::None && !deep);
  double needs = beside && bars > 1 ? std::max(kMinCategoryPixels, bars + 2.0) : kMinCategoryPixels;
  if (deep) {
    const auto rows = lines + (mode == BarGrouping::None ? bars : (bars > 0 ? 1 : 0));
    if (rows > 1) needs = std::max(needs, static_cast<double>(rows) * kPixelsPerDepthRow);
  }
  return needs;
}

bool CategoriesHaveRoom(const ChartModel& model, const ChartLayout& layout,
                        const std::vector<const SeriesModel*>& drawn) {
  std::size_t categories = 0;
  for (const SeriesModel* one : drawn) categories = std::max(categories, one->points.size());
  if (categories == 0 || layout.geometry.plot.isEmpty()) return false;
  const bool horizontal = Traits(ChartKindOf(model)).horizontal;
  const double slot =
      (horizontal ? layout.geometry.plot.height() : layout.geometry.plot.width()) / categories;
  return slot >= PixelsEachCategoryNeeds(model, drawn);
}

namespace {

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
    case Guarantee::TextOffData:
      return "(vi) text off other data";
    case Guarantee::ValueShows:
      return "(vii) value shows";
    case Guarantee::AxisNumbers:
      return "(viii) axis numbers";
    case Guarantee::LabelsPresent:
      return "(ix) data labels present";
    case Guarantee::MoreRoomShowsMore:
      return "(x) more room shows more";
    case Guarantee::OffTheEdge:
      return "(xiii) nothing on the outermost pixels";
    case Guarantee::ValueRead:
      return "(xi) every value has a reading";
    case Guarantee::NumberStyle:
      return "(xii) one number style";
  }
  return "?";
}

}  // namespace

std::vector<BrokenGuarantee> BrokenGuarantees(const ChartModel& model, const ChartLayout& layout) {
  GuaranteeReport report;
  const std::vector<PlacedText> texts = AllTexts(layout);
  CheckTextsInside(layout, texts, report);
  CheckTextsApart(layout, texts, report);
  CheckOuterEdge(layout, texts, report);
  CheckTextsOffData(layout, report);
  const std::vector<const SeriesModel*> drawn = DrawnSeriesOf(model, layout);
  if (drawn.empty()) return report.Broken();
  const SeriesKindTraits& kind = Traits(ChartKindOf(model));
  if (!kind.onAxes) {
    CheckPiesShow(layout, drawn, report);
  } else {
    CheckAxesSeriesShow(model, layout, drawn, report);
    CheckValueAxis(model, layout, drawn, report);
    CheckAxisNumbers(layout, report);
  }
  CheckValuesShow(model, layout, drawn, report);
  CheckDataLabelsPresent(model, layout, drawn, report);
  CheckValuesRead(model, layout, drawn, report);
  CheckNumberStyle(layout, drawn, report);
  CheckLegend(model, layout, drawn, kind.colorPerPoint, report);
  return report.Broken();
}

std::string DescribeBroken(const std::vector<BrokenGuarantee>& broken) {
  std::ostringstream text;
  for (const BrokenGuarantee& one : broken)
    text << NameOf(one.guarantee) << ": " << one.what << "\n";
  return text.str();
}

}  // namespace chart
