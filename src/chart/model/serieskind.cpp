#include "chart/model/serieskind.h"

#include <deque>

namespace chart {

namespace {

std::deque<SeriesKindTraits>& AddedKinds() {
  static std::deque<SeriesKindTraits> added;
  return added;
}

}  // namespace

SeriesKind AddSeriesKind(SeriesKindTraits traits) {
  auto& added = AddedKinds();
  traits.kind = static_cast<SeriesKind>(kSeriesKinds.size() + added.size());
  added.push_back(traits);
  return traits.kind;
}

const SeriesKindTraits& AddedSeriesKindTraits(SeriesKind kind) {
  return AddedKinds().at(static_cast<std::size_t>(kind) - kSeriesKinds.size());
}

}  // namespace chart
