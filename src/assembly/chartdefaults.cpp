#include "chartdefaults.h"

#include <QPushButton>

#include "tchart.h"
#include "tform1.h"

int savedChartHeight = 0;
int savedChartWidth = 0;

namespace {

constexpr int kDefault3DPercent = 15;
constexpr FontStyle kBoldOnly{.bold = true, .italic = false};

}  // namespace

void ApplyChartDefaults(TForm1& form, ChartOptions& options) {
  form.PrintGraphBtn->setVisible(true);
  options = ChartOptions{};

  TChart& chart = *form.Chart1;
  savedChartHeight = chart.height();
  savedChartWidth = chart.width();
  chart.SetView3D(true);
  chart.Set3DPercent(kDefault3DPercent);
  chart.SetOrthogonal(true);
  chart.SetLegendVisible(false);
  chart.SetLeftAxisTitleFontStyle(kBoldOnly);
  chart.SetBottomAxisTitleFontStyle(kBoldOnly);
  chart.SetTitleFontStyle(kBoldOnly);
}
