#pragma once
// What sets the kinds of series apart, in one table: the layout, the legend, the colours, a new
// series' defaults, the reports and the checks ask a kind what it is instead of testing which
// one it is.

#include <array>
#include <cstddef>
#include <string_view>

namespace chart {

// The four kinds that charts are made of; AddSeriesKind numbers further ones after them.
enum class SeriesKind { Pie, Line, Bar, HorizBar };

struct SeriesKindTraits {
  SeriesKind kind;
  std::string_view name;  // in reports
  bool onAxes;            // drawn on axes; a chart of any other kind (pies) has none
  bool horizontal;        // values run across, categories down (the chart's first series decides)
  bool dataLabelsByDefault;  // value labels shown on a new series
  // Each point shows in a colour of its own (the palette's by its index where it has none), so
  // that the legend lists the points, not the series.
  bool colorPerPoint;
  bool legendLine;  // its legend entry shows a stretch of line, not a square
  // Each point is a box from zero: the value axis holds zero, a value that is not zero takes
  // the least pixels past it, and a zero is marked.
  bool fromZero;
  // Its series share each category's slot as the bar grouping says (beside one another, in one
  // depth row where grouped); any other series stands in a depth row of its own.
  bool sharesSlot;
  bool stacks;  // the stacked groupings pile its values up
};

inline constexpr std::array<SeriesKindTraits, 4> kSeriesKinds = {{
    {SeriesKind::Pie, "pie", false, false, true, true, false, false, false, false},
    {SeriesKind::Line, "line", true, false, false, false, true, false, false, false},
    {SeriesKind::Bar, "vertical bar", true, false, true, false, false, true, true, true},
    {SeriesKind::HorizBar, "horizontal bar", true, true, true, false, false, true, true, true},
}};

// A kind of series beyond the four, numbered after them; `traits.kind` is set to its number.
// Kinds are added before any chart is made, from one thread: they are read without a lock.
SeriesKind AddSeriesKind(SeriesKindTraits traits);
const SeriesKindTraits& AddedSeriesKindTraits(SeriesKind kind);

// Asked for every point of a chart: the four kinds are read inline.
inline const SeriesKindTraits& Traits(SeriesKind kind) {
  const auto index = static_cast<std::size_t>(kind);
  return index < kSeriesKinds.size() ? kSeriesKinds[index] : AddedSeriesKindTraits(kind);
}

// The format's two kinds of bars, which it asks for by name.
constexpr bool IsBar(SeriesKind kind) {
  return kind == SeriesKind::Bar || kind == SeriesKind::HorizBar;
}
inline bool IsPie(SeriesKind kind) { return !Traits(kind).onAxes; }

static_assert(kSeriesKinds[0].kind == SeriesKind::Pie && kSeriesKinds[1].kind == SeriesKind::Line &&
                  kSeriesKinds[2].kind == SeriesKind::Bar &&
                  kSeriesKinds[3].kind == SeriesKind::HorizBar,
              "kSeriesKinds is in the order of SeriesKind");

}  // namespace chart
