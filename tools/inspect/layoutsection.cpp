#include "inspect/layoutsection.h"

#include <QGuiApplication>
#include <algorithm>
#include <cmath>
#include <sstream>

#include "chart/chartlayout.h"
#include "chart/chartpainter.h"
#include "chart/palette.h"

namespace {

// Each try at a larger size grows the chart by this much, up to kLargestGrowth times.
constexpr double kGrowth = 1.1;
constexpr double kLargestGrowth = 16;

chart::ChartLayout LayoutAt(const chart::ChartModel& model, QSize size, bool image) {
  const double scale = image ? chart::ImageTextScale(QSizeF(size)) : 1;
  return chart::LayoutChart(model, QSizeF(size) / scale, chart::MakeChartFonts(model), scale);
}

// The smallest growth, of the width or of the height alone or of both, from which `fits` holds of
// the layout; nothing where none does up to kLargestGrowth times.
template <class Fits>
std::optional<QSize> GrownUntil(const chart::ChartModel& model, const LayoutTarget& target,
                                Fits fits) {
  for (double growth = kGrowth; growth <= kLargestGrowth; growth *= kGrowth) {
    const QSize wider(static_cast<int>(std::ceil(target.size.width() * growth)),
                      target.size.height());
    if (fits(LayoutAt(model, wider, target.image))) return wider;
    const QSize higher(target.size.width(),
                       static_cast<int>(std::ceil(target.size.height() * growth)));
    if (fits(LayoutAt(model, higher, target.image))) return higher;
    const QSize both(wider.width(), higher.height());
    if (fits(LayoutAt(model, both, target.image))) return both;
  }
  return std::nullopt;
}

std::string SizeText(QSize size) {
  return std::to_string(size.width()) + " x " + std::to_string(size.height());
}

// Where the layout left them out, the size from which they all fit, as "(...)".
template <class Fits>
std::string FitsFrom(const chart::ChartModel& model, const LayoutTarget& target, Fits fits) {
  const std::optional<QSize> grown = GrownUntil(model, target, fits);
  if (!grown) return "(not all fit at any size: the chart is too dense for them)";
  const bool wider = grown->width() > target.size.width();
  const bool higher = grown->height() > target.size.height();
  if (wider && higher) return "(they all fit from about " + SizeText(*grown) + ")";
  return wider ? "(they all fit from about " + std::to_string(grown->width()) + " px wide)"
               : "(they all fit from about " + std::to_string(grown->height()) + " px high)";
}

void ReportDataLabels(const chart::ChartModel& model, const LayoutTarget& target,
                      const chart::ChartLayout& layout, Warnings& warnings, std::ostream& out) {
  const chart::LabelCount& labels = layout.omitted.dataLabels;
  if (labels.wanted == 0) return;
  const int leftOut = labels.wanted - labels.shown;
  const std::string small =
      labels.small > 0 ? ", " + std::to_string(labels.small) + " of them in the small font" : "";
  out << "    data labels: " << labels.shown << " of " << labels.wanted << " shown" << small
      << "\n";
  if (leftOut == 0) return;
  const auto all = [](const chart::ChartLayout& grown) {
    return grown.omitted.dataLabels.shown == grown.omitted.dataLabels.wanted;
  };
  out << "    "
      << warnings.Mark("data labels: " + std::to_string(leftOut) + " of " +
                       std::to_string(labels.wanted) + " left out at " + SizeText(target.size) +
                       " " + FitsFrom(model, target, all))
      << "\n";
}

// Crowded category labels are thinned by a rule of their own (every second, third...), as any
// chart's axis is: told, not warned of.
void ReportCategoryLabels(const chart::ChartModel& model, const LayoutTarget& target,
                          const chart::ChartLayout& layout, std::ostream& out) {
  const int total = layout.omitted.categoryLabels;
  const auto shown = static_cast<int>(layout.shownCategories.size());
  if (total == 0 || shown == total) return;
  const auto all = [total](const chart::ChartLayout& grown) {
    return static_cast<int>(grown.shownCategories.size()) == total;
  };
  out << "    category labels: " << shown << " of " << total << " shown, evenly spaced "
      << FitsFrom(model, target, all) << "\n";
}

// Texts around the chart that gave way to it, in the order they go.
void ReportOtherTexts(const chart::ChartLayout& layout, Warnings& warnings, std::ostream& out) {
  const chart::Omissions& omitted = layout.omitted;
  if (omitted.axisTitlesLeftOut) out << "    " << warnings.Mark("axis titles: left out") << "\n";
  if (omitted.tickLabelsLeftOut) {
    out << "    " << warnings.Mark("value axis: its labels left out but the one nearest zero")
        << "\n";
  }
  if (omitted.titleLinesLeftOut > 0) {
    out << "    "
        << warnings.Mark("title: " + std::to_string(omitted.titleLinesLeftOut) +
                         " line(s) left out, past the share of the height a title takes")
        << "\n";
  }
  if (omitted.legendEntriesLeftOut > 0) {
    out << "    legend: " << omitted.legendEntriesLeftOut
        << " entries left out (its last line counts them)\n";
  }
  if (omitted.shortenedTexts > 0) {
    out << "    shortened with \"…\": " << omitted.shortenedTexts
        << " text(s) (the window's tooltip shows each whole)\n";
  }
}

// A series whose points the data table gives several colours shows one of them in the legend.
void ReportLegendColours(const chart::ChartModel& model, std::ostream& out) {
  if (!model.legendVisible) return;
  for (std::size_t s = 0; s < model.series.size(); ++s) {
    const chart::SeriesModel& series = model.series[s];
    if (chart::Traits(series.kind).colorPerPoint) continue;
    const int colours = chart::ColorsDrawn(series).count;
    if (colours < 2) continue;
    const std::string name = series.title.empty() ? "" : " " + Quoted(series.title);
    out << "  legend: series " << s + 1 << name << " has points of " << colours
        << " colours; its entry shows the one most of them have\n";
  }
}

}  // namespace

void ReportLayout(const chart::ChartModel& model, const std::vector<LayoutTarget>& targets,
                  Warnings& warnings, std::ostream& out) {
  if (targets.empty() || !QGuiApplication::instance()) return;
  out << "\nLayout: what the chart shows and leaves out where it is drawn\n";
  ReportLegendColours(model, out);
  for (const LayoutTarget& target : targets) {
    out << "  at " << SizeText(target.size) << " (" << target.what << "):\n";
    const chart::ChartLayout layout = LayoutAt(model, target.size, target.image);
    if (layout.plot.isEmpty() && layout.pies.empty()) {
      out << "    " << warnings.Mark("too small to draw the chart: only its title and legend")
          << "\n";
      continue;
    }
    std::ostringstream told;
    ReportDataLabels(model, target, layout, warnings, told);
    ReportCategoryLabels(model, target, layout, told);
    ReportOtherTexts(layout, warnings, told);
    out << (told.view().empty() ? "    every text shows whole\n" : told.view());
  }
}
