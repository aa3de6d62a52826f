#include "startup/chartdefaults.h"

#include "chart/document/chartdocument.h"
#include "properties/propertyfile.h"

namespace {

constexpr int kDefault3DPercent = 15;
constexpr int kDesignTopMargin = 2;
constexpr chart::FontStyle kBoldOnly{.bold = true, .italic = false};

}  // namespace

void ApplyChartDesign(chart::ChartDocument& chart) {
  chart.SetMargin(1, kDesignTopMargin);
  chart.AddTitleLine("");
}

ChartSize ApplyChartDefaults(chart::ChartDocument& chart, WindowEffects& window,
                             ChartOptions& options) {
  window.ShowPrintButton();
  options = ChartOptions{};
  const ChartSize saved{chart.Height(), chart.Width()};
  chart.SetView3D(true);
  chart.Set3DPercent(kDefault3DPercent);
  chart.SetOrthogonal(true);
  chart.SetLegendVisible(false);
  chart.SetLeftAxisTitleFontStyle(kBoldOnly);
  chart.SetBottomAxisTitleFontStyle(kBoldOnly);
  chart.SetTitleFontStyle(kBoldOnly);
  return saved;
}
