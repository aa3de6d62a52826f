// The marks of pie slices (step 5 of the order in pielayout.cpp): each in a column on its
// slice's side of the disc, joined to its slice by a leader line and within a few mark heights
// of it; where thin slices crowd, their marks cross to the other side's free room above or below
// the disc, and the smallest slices' marks that find no place are left out.

#include "chart/layout/piemarks.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

#include "chart/layout/labelplacer.h"
#include "chart/layout/textfit.h"
#include "chart/layout/valuetext.h"

namespace chart {

namespace {

constexpr double kMaxShift = 3;  // mark heights a mark may stand from its slice
const QColor kLeaderColor(110, 110, 110);

double MarkHeight(const QFont& font) { return LineHeight(font) + 2; }

// The mark `whole` (of `wholeWidth`) shortened to `width`: the label shortened in its middle,
// where labels that start alike still differ at their ends, and the value whole; the value alone
// where no label fits.
QString ShortenedMark(const ChartLayout& layout, const SeriesModel& series, int drawn,
                      std::span<const std::string> labels, std::size_t index, const QString& whole,
                      double wholeWidth, double width) {
  if (wholeWidth <= width) return whole;
  const QFont& font = layout.scene.fonts[FontRole::Mark];
  const QString value = ValueText(layout.numbers, drawn, series.points[index].value);
  const QString label = CategoryLabel(labels, index).trimmed();
  const QString shortLabel =
      Shortened(font, label, width - TextWidth(font, ": " + value), Qt::ElideMiddle);
  if (!shortLabel.isEmpty()) return shortLabel + ": " + value;
  return TextWidth(font, value) <= width ? value : QString();
}

// Step 5: a mark in the column on its slice's side, its leader from the rim.
struct PieMark {
  int point = 0;
  QString text;
  QString whole;
  double size = 0;    // of its value: the smallest give way first
  QPointF rim;        // where the leader starts
  QPointF elbow;      // where it turns toward the mark
  double wanted = 0;  // the height the mark would like, level with the elbow
  QRectF rect;
};

// The marked slices' middles: one pass over the points, as DrawnSlices takes them.
std::vector<double> MiddleAngles(const SeriesModel& series, long double sum,
                                 const std::vector<int>& marked) {
  std::vector<double> middles;
  long double before = 0;
  std::size_t next = 0;
  const auto& points = series.points;
  for (std::size_t i = 0; i < points.size() && next < marked.size(); ++i) {
    if (!IsSlice(points[i].value)) continue;
    const long double start = 90 - before / sum * 360;
    before += std::abs(points[i].value);
    if (static_cast<int>(i) != marked[next]) continue;
    middles.push_back(static_cast<double>((start + 90 - before / sum * 360) / 2));
    ++next;
  }
  return middles;
}

std::vector<PieMark> PieMarks(const SeriesModel& series, std::span<const std::string> labels,
                              const PieGeometry& pie, const PiePlan& plan, QRectF room,
                              const ChartLayout& layout) {
  const QFont& font = layout.scene.fonts[FontRole::Mark];
  const std::vector<double> middles = MiddleAngles(series, plan.sum, plan.marked);
  const double reach = pie.radiusX + kConnector + kMarkGap;
  const double textRoom =
      std::min(room.width() * kMaxMarkTextShare, room.width() / 2 - reach - kMarkFrame);
  std::vector<PieMark> marks;
  for (std::size_t k = 0; k < middles.size(); ++k) {
    const auto point = static_cast<std::size_t>(plan.marked[k]);
    const double mid = middles[k];
    const double c = std::cos(Radians(mid)), s = std::sin(Radians(mid));
    const double drop = s < 0 ? pie.thickness : 0;
    PieMark mark;
    mark.point = static_cast<int>(point);
    mark.whole = plan.marks[k];
    mark.text = ShortenedMark(layout, series, pie.series, labels, point, mark.whole,
                              plan.markWidths[k], textRoom);  // empty: nothing fits
    mark.size = std::abs(series.points[point].value);
    mark.rim = OnEllipse(pie, mid) + QPointF(0, drop);
    // A leader turns half a connector beyond the rim, but never outside the room: a disc that
    // fills the room's height turns its top and bottom leaders along the room's edge.
    mark.elbow = QPointF(pie.center.x() + (pie.radiusX + kConnector / 2) * c,
                         std::clamp(pie.center.y() - (pie.radiusY + kConnector / 2) * s + drop,
                                    room.top() + 1, std::max(room.top() + 1, room.bottom() - 1)));
    const double width =
        (mark.text == mark.whole ? plan.markWidths[k] : TextWidth(font, mark.text)) + kMarkFrame;
    const double height = MarkHeight(font);
    const double left = c >= 0 ? pie.center.x() + reach : pie.center.x() - reach - width;
    mark.wanted = mark.elbow.y();
    mark.rect = QRectF(left, mark.wanted - height / 2, width, height);
    marks.push_back(mark);
  }
  return marks;
}

// Whether `point` lies on the drawn disc (its top face, its 3D edge or the bottom rim below) by
// more than kGraze: a leader that only grazes the rim, as one along the room's edge above a disc
// that fills the room's height, still reads.
constexpr double kGraze = 2;

bool OnDisc(const PieGeometry& pie, QPointF point) {
  const double radiusX = pie.radiusX - kGraze, radiusY = pie.radiusY - kGraze;
  if (radiusX <= 0 || radiusY <= 0) return false;
  const auto inEllipse = [&](double centerY) {
    const double x = (point.x() - pie.center.x()) / radiusX;
    const double y = (point.y() - centerY) / radiusY;
    return x * x + y * y < 1;
  };
  const bool inEdge = std::abs(point.x() - pie.center.x()) < radiusX &&
                      point.y() > pie.center.y() && point.y() < pie.center.y() + pie.thickness;
  return inEllipse(pie.center.y()) || inEllipse(pie.center.y() + pie.thickness) || inEdge;
}

// Whether the leader of `mark`, its column's text standing at `top`, runs from its elbow to the
// text clear of the disc. Checked along the line: a leader is a few hundred pixels at most.
bool LeaderClear(const PieGeometry& pie, const PieMark& mark, double top) {
  const bool onRight = mark.rect.left() > pie.center.x();
  const QPointF end(onRight ? mark.rect.left() : mark.rect.right(), top + mark.rect.height() / 2);
  constexpr int kSteps = 64;
  for (int i = 0; i <= kSteps; ++i) {
    const double t = static_cast<double>(i) / kSteps;
    if (OnDisc(pie, mark.elbow + (end - mark.elbow) * t)) return false;
  }
  return true;
}

// The marks that stand near their slices: taken from the largest slice down, each where it is
// nearest the height it would like on no mark taken before: within kMaxShift mark heights of it,
// or further where its leader still runs clear of the disc. The first that has no such place, or
// no room for its text, and the marks of the smaller slices on its side are left out (their
// slices are still in the legend). So leaders never cross the disc from a cluster of thin slices,
// the free room beside the disc takes marks, and the largest slices keep theirs.
std::vector<PieMark> NearTheirSlices(std::vector<PieMark>& marks, QRectF room,
                                     const PieGeometry& pie) {
  const double height = marks.front().rect.height();
  std::stable_sort(marks.begin(), marks.end(),
                   [](const PieMark& a, const PieMark& b) { return a.size > b.size; });
  std::vector<PieMark> taken;
  std::vector<std::pair<double, double>> spans;  // taken, top to bottom
  for (PieMark& mark : marks) {
    std::vector<double> tops = {mark.wanted - height / 2};
    for (const auto& [top, bottom] : spans) tops.insert(tops.end(), {top - height, bottom});
    double best = 0, shift = std::numeric_limits<double>::infinity();
    bool found = false;
    for (double top : tops) {
      top = std::clamp(top, room.top(), room.bottom() - height);
      const bool free = std::none_of(spans.begin(), spans.end(), [&](const auto& span) {
        return top < span.second - 1e-9 && top + height > span.first + 1e-9;
      });
      const double moved = std::abs(top + height / 2 - mark.wanted);
      if (!free || moved > shift) continue;
      if (moved > kMaxShift * height && !LeaderClear(pie, mark, top)) continue;
      best = top, shift = moved, found = true;
    }
    if (!found || mark.text.isEmpty()) break;
    spans.emplace_back(best, best + height);
    mark.rect.moveTop(best);
    taken.push_back(std::move(mark));
  }
  marks.erase(marks.begin(), marks.begin() + static_cast<std::ptrdiff_t>(taken.size()));
  return taken;
}

// Stacks `marks` (in the order of their slices down the side) in `room`, each as near its slice
// as the marks above and below let it be.
void Stack(std::vector<PieMark>& marks, QRectF room) {
  double top = room.top();
  for (PieMark& mark : marks) {
    mark.rect.moveTop(std::max(top, mark.wanted - mark.rect.height() / 2));
    top = mark.rect.bottom();
  }
  double bottom = room.bottom();
  for (auto it = marks.rbegin(); it != marks.rend(); ++it) {
    if (it->rect.bottom() > bottom) it->rect.moveBottom(bottom);
    bottom = it->rect.top();
  }
}

// One side's column: the marks near their slices, then in the order of the slices down the side,
// each as near its slice as the marks above and below let it be. Where that sends a leader over
// the disc, the smallest slice's mark gives way and the rest stack again. The marks left out stay
// in `side`, largest first.
std::vector<PieMark> Column(std::vector<PieMark>& side, QRectF room, const PieGeometry& pie) {
  if (side.empty() || room.height() < side.front().rect.height()) return {};
  std::vector<PieMark> marks = NearTheirSlices(side, room, pie);
  std::sort(marks.begin(), marks.end(),
            [](const PieMark& a, const PieMark& b) { return a.wanted < b.wanted; });
  Stack(marks, room);
  const auto overDisc = [&](const PieMark& mark) {
    return !LeaderClear(pie, mark, mark.rect.top());
  };
  while (std::any_of(marks.begin(), marks.end(), overDisc)) {
    const auto smallest =
        std::min_element(marks.begin(), marks.end(),
                         [](const PieMark& a, const PieMark& b) { return a.size < b.size; });
    side.insert(side.begin(), std::move(*smallest));
    marks.erase(smallest);
    Stack(marks, room);
  }
  return marks;
}

// Marks that their own side left out, across the disc: in the other column, above the disc and
// that column's marks for slices of the upper half, below them for the lower half. A leader runs
// straight up (or down) from its slice's rim, clear of the disc, then across to its mark. Only
// slices near the top or bottom of the disc (a leader over the whole disc would be hard to
// follow), nearer the other side than every mark of their own side in that half, cross, and only
// from one side per half, with the slice nearest the other side turning nearest the disc: so no
// two leaders cross.
constexpr double kCrossingReach = 0.5;  // of the radius, from the disc's middle across

struct Crossing {
  bool upper = true;    // the half of the disc
  bool toRight = true;  // from the left column to the right one
};

bool InHalf(const PieMark& mark, const PieGeometry& pie, bool upper) {
  return (mark.rim.y() < pie.center.y()) == upper;
}

std::vector<PieMark> Crossers(const std::vector<PieMark>& leftOut,
                              const std::vector<PieMark>& stayed, const PieGeometry& pie,
                              Crossing way) {
  // Nearer the other side than every mark that stayed in this half.
  double bound = way.toRight ? -std::numeric_limits<double>::infinity()
                             : std::numeric_limits<double>::infinity();
  for (const PieMark& mark : stayed) {
    if (!InHalf(mark, pie, way.upper)) continue;
    bound = way.toRight ? std::max(bound, mark.rim.x()) : std::min(bound, mark.rim.x());
  }
  std::vector<PieMark> crossers;
  for (const PieMark& mark : leftOut) {
    const bool nearer = way.toRight ? mark.rim.x() > bound : mark.rim.x() < bound;
    const bool central = std::abs(mark.rim.x() - pie.center.x()) <= kCrossingReach * pie.radiusX;
    if (InHalf(mark, pie, way.upper) && nearer && central && !mark.text.isEmpty())
      crossers.push_back(mark);
  }
  std::stable_sort(crossers.begin(), crossers.end(),
                   [](const PieMark& a, const PieMark& b) { return a.size > b.size; });
  return crossers;
}

// Puts `crossers` (largest first) into the other column's free slots beyond the disc and its
// marks, as many as there are slots, nearest the other side nearest the disc.
std::vector<PieMark> Across(std::vector<PieMark> crossers, const std::vector<PieMark>& column,
                            const PieGeometry& pie, QRectF room, Crossing way) {
  if (crossers.empty()) return {};
  const double height = crossers.front().rect.height();
  double edge = way.upper ? pie.center.y() - pie.radiusY - kConnector / 2
                          : pie.center.y() + pie.radiusY + pie.thickness + kConnector / 2;
  for (const PieMark& mark : column) {
    edge = way.upper ? std::min(edge, mark.rect.top()) : std::max(edge, mark.rect.bottom());
  }
  const double spare = way.upper ? edge - room.top() : room.bottom() - edge;
  const auto places = static_cast<std::size_t>(std::max(0.0, std::floor(spare / height)));
  if (crossers.size() > places) crossers.resize(places);
  std::sort(crossers.begin(), crossers.end(), [&](const PieMark& a, const PieMark& b) {
    return way.toRight ? a.rim.x() > b.rim.x() : a.rim.x() < b.rim.x();
  });
  const double reach = pie.radiusX + kConnector + kMarkGap;
  for (std::size_t i = 0; i < crossers.size(); ++i) {
    PieMark& mark = crossers[i];
    const double step = static_cast<double>(i + 1) * height;
    const double top = way.upper ? edge - step : edge + step - height;
    const double left =
        way.toRight ? pie.center.x() + reach : pie.center.x() - reach - mark.rect.width();
    mark.rect.moveTo(left, top);
    mark.elbow = QPointF(mark.rim.x(), mark.rect.center().y());
  }
  return crossers;
}

// Both sides' columns: the marks that stand, left and right of the disc, each with the marks
// that crossed to it.
std::array<std::vector<PieMark>, 2> Columns(const SeriesModel& series,
                                            std::span<const std::string> labels,
                                            const PieGeometry& pie, const PiePlan& plan,
                                            QRectF room, const ChartLayout& layout) {
  std::vector<PieMark> left, right;
  for (PieMark& mark : PieMarks(series, labels, pie, plan, room, layout)) {
    (mark.rect.left() < pie.center.x() ? left : right).push_back(std::move(mark));
  }
  std::array<std::vector<PieMark>, 2> columns = {Column(left, room, pie), Column(right, room, pie)};
  for (bool upper : {true, false}) {
    std::vector<PieMark> toRight = Crossers(left, columns[0], pie, {upper, true});
    std::vector<PieMark> toLeft = Crossers(right, columns[1], pie, {upper, false});
    const auto largest = [](const std::vector<PieMark>& marks) {
      return marks.empty() ? -1.0 : marks.front().size;
    };
    const bool rightward = largest(toRight) >= largest(toLeft);
    std::vector<PieMark>& column = columns[rightward ? 1 : 0];
    for (PieMark& mark : Across(rightward ? std::move(toRight) : std::move(toLeft), column, pie,
                                room, {upper, rightward})) {
      column.push_back(std::move(mark));
    }
  }
  return columns;
}

}  // namespace

int MarksStanding(const SeriesModel& series, std::span<const std::string> labels,
                  const PieGeometry& pie, const PiePlan& plan, QRectF room,
                  const ChartLayout& layout) {
  int score = 0;
  for (const auto& side : Columns(series, labels, pie, plan, room, layout)) {
    for (const PieMark& mark : side) score += mark.text == mark.whole ? 2 : 1;
  }
  return score;
}

void AddMarks(const SeriesModel& series, std::span<const std::string> labels,
              const PieGeometry& pie, const PiePlan& plan, QRectF room, ChartLayout& layout) {
  LabelPlacer placer(layout, room);
  placer.Want(
      static_cast<int>(std::count_if(series.points.begin(), series.points.end(),
                                     [](const ChartPoint& p) { return IsSlice(p.value); })));
  for (std::vector<PieMark> side : Columns(series, labels, pie, plan, room, layout)) {
    std::stable_sort(side.begin(), side.end(),
                     [](const PieMark& a, const PieMark& b) { return a.size > b.size; });
    for (const PieMark& mark : side) {
      TextItem item = DataLabel(mark.text, {pie.series, mark.point}, FontRole::Mark, layout, true);
      item.box = QRectF(QPointF(), mark.rect.size());
      item.origin = mark.rect.topLeft();
      if (mark.text != mark.whole) item.fullText = mark.whole;
      if (!placer.Place({&item, 1})) break;
      const bool onRight = mark.rect.left() > pie.center.x();
      const QPointF end(onRight ? mark.rect.left() : mark.rect.right(), mark.rect.center().y());
      layout.scene.strokes.push_back({QLineF(mark.rim, mark.elbow), kLeaderColor});
      layout.scene.strokes.push_back({QLineF(mark.elbow, end), kLeaderColor});
    }
  }
}

QString MarkLabel(const SeriesModel& series, int drawn, std::span<const std::string> labels,
                  std::size_t index, const ChartLayout& layout) {
  const QString value = ValueText(layout.numbers, drawn, series.points[index].value);
  const QString label = CategoryLabel(labels, index).trimmed();
  return label.isEmpty() ? value : label + ": " + value;
}

}  // namespace chart
