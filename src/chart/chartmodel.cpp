#include "chart/chartmodel.h"

namespace chart {

MultiBar MultiBarFromNumber(std::uint8_t number) {
  switch (number) {
    case 1:
      return MultiBar::SideBySide;
    case 2:
      return MultiBar::Stacked;
    case 3:
      return MultiBar::Stacked100;
    default:
      return MultiBar::None;
  }
}

SeriesKind ChartKindOf(const ChartModel& model) {
  return model.series.empty() ? SeriesKind::Bar : model.series.front().kind;
}

MultiBar MultiBarOf(const std::vector<const SeriesModel*>& series) {
  for (const SeriesModel* one : series) {
    if (IsBar(one->kind)) return one->multiBar;
  }
  return MultiBar::None;
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

}  // namespace chart
