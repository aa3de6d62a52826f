#include "chart/layout/serieslayouter.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace chart {

namespace {

struct LayouterTable {
  std::map<SeriesKind, const SeriesLayouter*> byKind;
  std::vector<const SeriesLayouter*> inPaintOrder;
  void Add(SeriesKind kind, const SeriesLayouter& layouter) {
    byKind[kind] = &layouter;
    if (std::find(inPaintOrder.begin(), inPaintOrder.end(), &layouter) == inPaintOrder.end())
      inPaintOrder.push_back(&layouter);
  }
};

LayouterTable& Table() {
  static LayouterTable table = [] {
    LayouterTable built;
    built.Add(SeriesKind::Bar, BarLayouter());
    built.Add(SeriesKind::HorizBar, BarLayouter());
    built.Add(SeriesKind::Line, LineLayouter());
    return built;
  }();
  return table;
}

}  // namespace

void ValueExtent::Add(double value) {
  if (!std::isfinite(value)) return;
  low = std::min(low, value);
  high = std::max(high, value);
}

void ValueExtent::Add(const ValueExtent& other) {
  low = std::min(low, other.low);
  high = std::max(high, other.high);
  above = above || other.above;
  below = below || other.below;
}

const SeriesLayouter* LayouterOf(SeriesKind kind) {
  const auto& byKind = Table().byKind;
  const auto found = byKind.find(kind);
  return found == byKind.end() ? nullptr : found->second;
}

const std::vector<const SeriesLayouter*>& SeriesLayouters() { return Table().inPaintOrder; }

void RegisterSeriesLayouter(SeriesKind kind, const SeriesLayouter& layouter) {
  Table().Add(kind, layouter);
}

}  // namespace chart
