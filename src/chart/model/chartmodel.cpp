#include "chart/model/chartmodel.h"

#include <algorithm>

namespace chart {

BarGrouping BarGroupingFromNumber(std::uint8_t number) {
  switch (number) {
    case 1:
      return BarGrouping::SideBySide;
    case 2:
      return BarGrouping::Stacked;
    case 3:
      return BarGrouping::Stacked100;
    default:
      return BarGrouping::None;
  }
}

SeriesKind ChartKindOf(const ChartModel& model) {
  return model.series.empty() ? SeriesKind::Bar : model.series.front().kind;
}

BarGrouping BarGroupingOf(const std::vector<const SeriesModel*>& series) {
  for (const SeriesModel* one : series) {
    if (Traits(one->kind).sharesSlot) return one->barGrouping;
  }
  return BarGrouping::None;
}

void StoreCategoryLabel(std::vector<std::string>& labels, std::size_t index,
                        const std::string& label) {
  if (label.empty()) return;
  if (index >= labels.size()) {
    labels.resize(index);  // the labels skipped stay empty; usually there are none
    labels.push_back(label);
  } else if (labels[index].empty()) {
    labels[index] = label;
  }
}

double Depth3DShare(const ChartModel& model) {
  return model.view3D ? std::clamp(model.percent3D, 0, 100) / 100.0 : 0;
}

}  // namespace chart
