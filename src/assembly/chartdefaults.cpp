#include "chartdefaults.h"

#include <QPushButton>

#include "tchart.h"

namespace {

constexpr int kDefault3DPercent = 15;
constexpr FontStyle kBoldOnly{.bold = true, .italic = false};

}  // namespace

ChartSize ApplyChartDefaults(TChart& chart, QPushButton& printButton, ChartOptions& options) {
  printButton.setVisible(true);
  options = ChartOptions{};
  const ChartSize saved{chart.height(), chart.width()};
  chart.SetView3D(true);
  chart.Set3DPercent(kDefault3DPercent);
  chart.SetOrthogonal(true);
  chart.SetLegendVisible(false);
  chart.SetLeftAxisTitleFontStyle(kBoldOnly);
  chart.SetBottomAxisTitleFontStyle(kBoldOnly);
  chart.SetTitleFontStyle(kBoldOnly);
  return saved;
}
