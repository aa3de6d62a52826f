// (x) More room shows more: the same chart laid out with at least as much room on both sides
// never shows less than it did with less room. Compared text by text, except where the layout
// keeps a share rather than particular texts: category labels thinned to every k-th, the value
// axis' ticks, the legend's entries and each data set's data labels are compared by how many
// show (data labels: at all, and whole; their numbers may take another form with more room, the
// axis' scale note or the ticks' decimals).

#include <algorithm>
#include <map>
#include <tuple>

#include "layoutcheck/guaranteechecks.h"

namespace chart {

namespace {

constexpr int kReadableScale = 3;  // labelled ticks

using TextKey = std::tuple<int, int, int, QString>;  // role, series, point, whole text

// Data labels are counted per data set rather than compared one by one: shown at all, and shown
// whole. With more room the labels of a data set may stand elsewhere (a larger disc spreads its
// thin slices' marks differently), but never fewer of them.
constexpr int kLabelsShown = -1;
constexpr int kLabelsWhole = -2;

TextKey KeyOf(const TextItem& item) {
  return {static_cast<int>(item.role), item.series, item.point,
          item.fullText.isEmpty() ? item.text : item.fullText};
}

// How much of a text shows: its letters, without the spaces where it wraps and without "…".
int LettersShown(const QString& text) {
  return static_cast<int>(std::count_if(
      text.begin(), text.end(), [](QChar c) { return !c.isSpace() && c != QChar(0x2026); }));
}

bool ShownShortened(const TextItem& item) {
  return !item.fullText.isEmpty() && item.text.contains(QChar(0x2026));
}

// How much of each text the layout shows, by what it is: the lines of a wrapped text add up.
std::map<TextKey, int> ShownTexts(const ChartLayout& layout) {
  std::map<TextKey, int> shown;
  const auto add = [&](const TextItem& item) {
    // Category labels and ticks are compared by count; a scale note comes and goes with the
    // ticks' digits.
    if (item.role == TextRole::CategoryLabel || item.role == TextRole::TickLabel ||
        item.role == TextRole::ScaleNote)
      return;
    if (item.role == TextRole::DataLabel) {
      // A pie's mark is one line: shown in part (its label shortened, or its value alone) where
      // it differs from its whole text.
      const bool whole = item.fullText.isEmpty() || item.text == item.fullText;
      const int role = static_cast<int>(item.role);
      ++shown[{role, item.series, kLabelsShown, {}}];
      if (whole) ++shown[{role, item.series, kLabelsWhole, {}}];
      return;
    }
    shown[KeyOf(item)] += LettersShown(item.text);
  };
  for (const TextItem& item : layout.scene.texts) add(item);
  for (const LegendItem& entry : layout.scene.legend) {
    if (entry.entry >= 0) add(entry.text);  // not the count of the entries left out
  }
  return shown;
}

std::string Count(const std::string& what, int smaller, int larger) {
  return what + ": " + std::to_string(larger) + " with more room, " + std::to_string(smaller) +
         " with less";
}

std::string Lost(const TextKey& key, int before, int after) {
  const auto& [role, series, point, text] = key;
  if (role == static_cast<int>(TextRole::DataLabel)) {
    return Count("data labels of series " + std::to_string(series) +
                     (point == kLabelsWhole ? " shown whole" : " shown"),
                 before, after);
  }
  return Quoted(text) + (after == 0 ? " left out" : " shortened") + " with more room";
}

int WholeCategoryLabels(const ChartLayout& layout) {
  int whole = 0;
  for (const TextItem& item : layout.scene.texts)
    whole += item.role == TextRole::CategoryLabel && !ShownShortened(item) ? 1 : 0;
  return whole;
}

void CompareCounts(const ChartLayout& smaller, const ChartLayout& larger, GuaranteeReport& report) {
  const auto fewer = [&](const char* what, int less, int more) {
    if (more < less) report.Add(Guarantee::MoreRoomShowsMore, Count(what, less, more));
  };
  const auto categories = [](const ChartLayout& l) {
    return int(l.geometry.shownCategories.size());
  };
  fewer("category labels shown", categories(smaller), categories(larger));
  fewer("category labels shown whole", WholeCategoryLabels(smaller), WholeCategoryLabels(larger));
  // The value axis may give up ticks to data labels that now fit, but keeps a readable scale.
  fewer("value ticks", std::min(int(smaller.geometry.valueTicks.size()), kReadableScale),
        int(larger.geometry.valueTicks.size()));
  const auto leftOut = [&](const char* what, int less, int more) {
    if (more > less) report.Add(Guarantee::MoreRoomShowsMore, Count(what, less, more));
  };
  const Omissions& before = smaller.omitted;
  const Omissions& after = larger.omitted;
  leftOut("legend entries left out", before.legendEntriesLeftOut, after.legendEntriesLeftOut);
  leftOut("title lines left out", before.titleLinesLeftOut, after.titleLinesLeftOut);
  // A chart too small to draw its plot showed no axis texts to lose.
  if (smaller.geometry.plot.isEmpty()) return;
  leftOut("axis titles left out", before.axisTitlesLeftOut, after.axisTitlesLeftOut);
  leftOut("value axis labels left out", before.tickLabelsLeftOut, after.tickLabelsLeftOut);
}

}  // namespace

std::vector<BrokenGuarantee> LostWithMoreRoom(const ChartLayout& smaller,
                                              const ChartLayout& larger) {
  GuaranteeReport report;
  CompareCounts(smaller, larger, report);
  const std::map<TextKey, int> more = ShownTexts(larger);
  for (const auto& [key, before] : ShownTexts(smaller)) {
    const auto found = more.find(key);
    const int after = found == more.end() ? 0 : found->second;
    if (after >= before) continue;
    report.Add(Guarantee::MoreRoomShowsMore, Lost(key, before, after));
  }
  return report.Broken();
}

}  // namespace chart
