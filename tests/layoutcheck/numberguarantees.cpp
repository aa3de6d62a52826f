// The check of one number style per chart (guarantee (xii) of layoutguarantees.h): the numbers
// are read off the layout's texts as a reader reads them, and compared with the model's values.

#include <algorithm>
#include <cmath>
#include <map>

#include "layoutcheck/guaranteechecks.h"

namespace chart {

namespace {

bool Scientific(const std::string& text) { return text.find("·10") != std::string::npos; }

// The number of a data label: a pie's mark reads "label: value".
std::string NumberPart(const TextItem& item) {
  const std::string text = item.text.toStdString();
  const auto colon = text.rfind(": ");
  return colon == std::string::npos ? text : text.substr(colon + 2);
}

// Grouped exactly where the integer part has kGroupFromDigits digits or more.
void CheckGrouping(const std::string& text, const NumberLocale& locale, GuaranteeReport& report) {
  if (Scientific(text)) return;
  const std::string whole = text.substr(0, text.find(locale.decimal));
  const auto digits =
      std::count_if(whole.begin(), whole.end(), [](char c) { return c >= '0' && c <= '9'; });
  const bool grouped = !locale.group.empty() && whole.find(locale.group) != std::string::npos;
  if (grouped != (digits >= kGroupFromDigits)) {
    report.Add(Guarantee::NumberStyle,
               "grouping: \"" + text + "\" is " + (grouped ? "" : "not ") + "grouped");
  }
}

// A data label reads back as its value over the scale note's power of ten, to its decimals.
void CheckLabelValue(const std::string& text, double value, int exponent,
                     const NumberLocale& locale, GuaranteeReport& report) {
  const auto read = ReadNumber(text, locale);
  if (!std::isfinite(value)) return;
  const bool scaled = !Scientific(text);
  const long double expected =
      scaled ? static_cast<long double>(value) / std::pow(10.0L, exponent) : value;
  const long double tolerance =
      (scaled ? std::pow(10.0L, -Decimals(text, locale)) / 2 : 0) + std::abs(expected) * 1e-11L;
  if (!read || std::abs(*read - expected) > tolerance) {
    report.Add(Guarantee::NumberStyle, "scale note: the data label \"" + text +
                                           "\" does not read as " +
                                           std::to_string(static_cast<double>(expected)));
  }
}

void CheckPercentNote(const ChartLayout& layout, const std::vector<const SeriesModel*>& drawn,
                      const std::vector<const TextItem*>& notes, bool ticks,
                      GuaranteeReport& report) {
  const bool bars = std::any_of(drawn.begin(), drawn.end(),
                                [](const SeriesModel* one) { return Traits(one->kind).stacks; });
  if (!ticks || !bars || layout.geometry.plot.isEmpty() ||
      BarGroupingOf(drawn) != BarGrouping::Stacked100)
    return;
  const bool percent = std::any_of(notes.begin(), notes.end(),
                                   [](const TextItem* note) { return note->text == "%"; });
  if (!percent) report.Add(Guarantee::NumberStyle, "percent: the 100 % axis does not say \"%\"");
}

}  // namespace

void CheckNumberStyle(const ChartLayout& layout, const std::vector<const SeriesModel*>& drawn,
                      GuaranteeReport& report) {
  std::vector<const TextItem*> notes;
  bool ticks = false;
  for (const TextItem& item : layout.scene.texts) {
    if (item.role == TextRole::ScaleNote) notes.push_back(&item);
    if (item.role != TextRole::TickLabel) continue;
    ticks = true;
    CheckGrouping(item.text.toStdString(), layout.numbers.locale, report);
  }
  const int exponent = NoteExponent(notes);
  std::map<int, std::string> firstOfSeries;  // the first fixed label of each series
  for (const TextItem& item : layout.scene.texts) {
    const auto series = static_cast<std::size_t>(item.series);
    if (item.role != TextRole::DataLabel || series >= drawn.size()) continue;
    const auto& points = drawn[series]->points;
    if (static_cast<std::size_t>(item.point) >= points.size()) continue;
    const std::string text = NumberPart(item);
    CheckGrouping(text, layout.numbers.locale, report);
    CheckLabelValue(text, points[static_cast<std::size_t>(item.point)].value, exponent,
                    layout.numbers.locale, report);
    if (Scientific(text) || !ReadNumber(text, layout.numbers.locale)) continue;
    const auto [first, inserted] = firstOfSeries.emplace(item.series, text);
    if (!inserted &&
        Decimals(text, layout.numbers.locale) != Decimals(first->second, layout.numbers.locale)) {
      report.Add(Guarantee::NumberStyle, "decimals: the labels of series " +
                                             std::to_string(item.series) + " read \"" +
                                             first->second + "\" and \"" + text + "\"");
    }
  }
  CheckPercentNote(layout, drawn, notes, ticks, report);
}

}  // namespace chart
