#include "inspect/layoutsection.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <sstream>

#include "chart/layout/chartlayout.h"
#include "chart/model/palette.h"
#include "chart/render/chartpainter.h"
#include "runtime/text.h"

namespace {

// The search for a size at which everything fits grows the chart up to kLargestGrowth times, and
// stops where one more step would change the size by less than kPrecision.
constexpr double kLargestGrowth = 16;
constexpr double kPrecision = 1.02;

chart::ChartLayout LayoutAt(const chart::ChartModel& model, QSize size, bool image) {
  const double scale = image ? chart::ImageTextScale(QSizeF(size)) : 1;
  return chart::LayoutChart(model, QSizeF(size) / scale, chart::MakeChartFonts(model), scale);
}

QSize Grown(QSize size, double across, double down) {
  return QSize(static_cast<int>(std::ceil(size.width() * across)),
               static_cast<int>(std::ceil(size.height() * down)));
}

// The smallest size, grown from the target's by one factor in the proportions of `across` and
// `down` (each 0 or 1), at which `fits` holds; found by halving the range of factors, as a chart
// with more room shows no less. Every size it returns was laid out and fits.
template <class Fits>
std::optional<QSize> SmallestFitting(const chart::ChartModel& model, const LayoutTarget& target,
                                     double across, double down, Fits fits) {
  const auto at = [&](double growth) {
    return Grown(target.size, across > 0 ? growth : 1, down > 0 ? growth : 1);
  };
  double low = 1;
  double high = kLargestGrowth;
  if (!fits(LayoutAt(model, at(high), target.image))) return std::nullopt;
  while (high / low > kPrecision) {
    const double middle = std::sqrt(low * high);
    (fits(LayoutAt(model, at(middle), target.image)) ? high : low) = middle;
  }
  return at(high);
}

// The smallest of the sizes grown wider, higher or both at which `fits` holds.
template <class Fits>
std::optional<QSize> GrownUntil(const chart::ChartModel& model, const LayoutTarget& target,
                                Fits fits) {
  std::optional<QSize> best;
  for (const auto& [across, down] : {std::pair{1, 0}, std::pair{0, 1}, std::pair{1, 1}}) {
    const std::optional<QSize> found = SmallestFitting(model, target, across, down, fits);
    const auto area = [](QSize size) { return double(size.width()) * size.height(); };
    if (found && (!best || area(*found) < area(*best))) best = found;
  }
  return best;
}

std::string SizeText(QSize size) {
  return std::to_string(size.width()) + " x " + std::to_string(size.height());
}

// What else could let them all show, where no size does.
std::string WhatWouldHelp(const chart::ChartModel& model) {
  const bool pie = !model.series.empty() && model.series.front().kind == chart::SeriesKind::Pie;
  if (pie) return "fewer slices; the legend lists them all";
  std::string help = "fewer categories or data sets";
  if (model.view3D) help += ", the flat look (2D)";
  if (!model.series.empty() && model.series.front().kind == chart::SeriesKind::Bar)
    help += ", a horizontal chart (BAR)";
  return help;
}

// Where the layout left them out, the size from which they all fit, as "(...)".
template <class Fits>
std::string FitsFrom(const chart::ChartModel& model, const LayoutTarget& target, Fits fits) {
  const std::optional<QSize> grown = GrownUntil(model, target, fits);
  if (!grown) return "(not all fit at any size; what would help: " + WhatWouldHelp(model) + ")";
  return "(they all fit from about " + SizeText(*grown) + ")";
}

// Named in the report before the rest are only counted.
constexpr std::size_t kNamedLeftOut = 8;

// Why a point's data label did not show: a bar too thin to carry a line of the small label's
// font, or no free room for it beside its bar or slice at this size.
std::string WhyLeftOut(const chart::ChartModel& model, const chart::ChartLayout& layout, int series,
                       int point) {
  const double line = QFontMetricsF(layout.scene.fonts[chart::FontRole::SmallMark]).height();
  const bool horizontal = chart::Traits(chart::ChartKindOf(model)).horizontal;
  for (const chart::BarBox& bar : layout.geometry.bars) {
    if (bar.series != series || bar.point != point) continue;
    const double across = horizontal ? bar.front.height() : bar.front.width();
    if (across < line) return "the bar is narrower than a label's line";
  }
  return layout.geometry.pies.empty() ? "no room for it at this size"
                                      : "no free place beside the pie";
}

// The first kNamedLeftOut data labels that the chart wanted and left out: the point's record,
// label and data set, and why.
std::vector<std::string> LeftOutLabels(const chart::ChartModel& model,
                                       const chart::ChartLayout& layout,
                                       std::span<const std::uint32_t> pointRecords) {
  std::set<std::pair<int, int>> shown;
  for (const chart::TextItem& item : layout.scene.texts) {
    if (item.role == chart::TextRole::DataLabel) shown.insert({item.series, item.point});
  }
  std::vector<std::string> named;
  for (std::size_t s = 0; s < layout.geometry.drawnSeries.size(); ++s) {
    const chart::SeriesModel& series = model.series[std::size_t(layout.geometry.drawnSeries[s])];
    if (!series.dataLabelsVisible) continue;
    for (std::size_t k = 0; k < series.points.size() && named.size() < kNamedLeftOut; ++k) {
      const double value = series.points[k].value;
      if (!std::isfinite(value) || value == 0 || shown.count({int(s), int(k)})) continue;
      const std::string record = k < pointRecords.size()
                                     ? "record " + std::to_string(pointRecords[k]) + " "
                                     : "point " + std::to_string(k + 1) + " ";
      const std::string label = k < model.labels.size() ? model.labels[k] : "";
      named.push_back(record + Quoted(ToDisplayText(label).toStdString()) + ", data set " +
                      std::to_string(layout.geometry.drawnSeries[s] + 1) + ": " +
                      WhyLeftOut(model, layout, int(s), int(k)));
    }
  }
  return named;
}

void ReportDataLabels(const chart::ChartModel& model, const LayoutTarget& target,
                      const chart::ChartLayout& layout, std::span<const std::uint32_t> pointRecords,
                      Warnings& warnings, std::ostream& out) {
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
  const std::vector<std::string> named = LeftOutLabels(model, layout, pointRecords);
  for (const std::string& one : named) out << "      left out: " << one << "\n";
  if (std::size_t(leftOut) > named.size())
    out << "      and " << std::size_t(leftOut) - named.size() << " more\n";
}

// Two texts shortened so that they read alike cannot be told apart but by their tooltips.
void WarnOfAlikeTexts(const chart::ChartLayout& layout, Warnings& warnings, std::ostream& out) {
  std::map<QString, std::set<QString>> wholeOf;  // shortened text, and the texts it stands for
  const auto add = [&](const chart::TextItem& item) {
    if (!item.fullText.isEmpty() && item.text.contains(QChar(0x2026)))
      wholeOf[item.text].insert(item.fullText);
  };
  for (const chart::TextItem& item : layout.scene.texts) add(item);
  for (const chart::LegendItem& entry : layout.scene.legend) add(entry.text);
  for (const auto& [text, wholes] : wholeOf) {
    if (wholes.size() < 2) continue;
    out << "    "
        << warnings.Mark(std::to_string(wholes.size()) + " texts shortened alike to " +
                         Quoted(text.toStdString()) + ": " + Quoted(wholes.begin()->toStdString()) +
                         ", " + Quoted(std::next(wholes.begin())->toStdString()) + "...")
        << "\n";
  }
}

// Crowded category labels are thinned by a rule of their own (every second, third...), as any
// chart's axis is: told, not warned of.
void ReportCategoryLabels(const chart::ChartModel& model, const LayoutTarget& target,
                          const chart::ChartLayout& layout, std::ostream& out) {
  const int total = layout.omitted.categoryLabels;
  const auto shown = static_cast<int>(layout.geometry.shownCategories.size());
  if (total == 0 || shown == total) return;
  const auto all = [total](const chart::ChartLayout& grown) {
    return static_cast<int>(grown.geometry.shownCategories.size()) == total;
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
                  std::span<const std::uint32_t> pointRecords, Warnings& warnings,
                  std::ostream& out) {
  if (targets.empty() || !QGuiApplication::instance()) return;
  out << "\nLayout: what the chart shows and leaves out where it is drawn\n";
  ReportLegendColours(model, out);
  for (const LayoutTarget& target : targets) {
    out << "  at " << SizeText(target.size) << " (" << target.what << "):\n";
    const chart::ChartLayout layout = LayoutAt(model, target.size, target.image);
    if (layout.geometry.plot.isEmpty() && layout.geometry.pies.empty()) {
      out << "    " << warnings.Mark("too small to draw the chart: only its title and legend")
          << "\n";
      continue;
    }
    std::ostringstream told;
    ReportDataLabels(model, target, layout, pointRecords, warnings, told);
    ReportCategoryLabels(model, target, layout, told);
    ReportOtherTexts(layout, warnings, told);
    WarnOfAlikeTexts(layout, warnings, told);
    out << (told.view().empty() ? "    every text shows whole\n" : told.view());
  }
}
