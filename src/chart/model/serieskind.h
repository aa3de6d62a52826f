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

// Each trait is false unless a kind's row says otherwise.
struct SeriesKindTraits {
  SeriesKind kind = SeriesKind::Pie;
  std::string_view name;    // in reports
  bool onAxes = false;      // drawn on axes; a chart of any other kind (pies) has none
  bool horizontal = false;  // values run across, categories down (the chart's first series decides)
  bool dataLabelsByDefault = false;  // value labels shown on a new series
  // Each point shows in a colour of its own (the palette's by its index where it has none), so
  // that the legend lists the points, not the series.
  bool colorPerPoint = false;
  bool legendLine = false;  // its legend entry shows a stretch of line, not a square
  // Each point is a box from zero: the value axis holds zero, a value that is not zero takes
  // the least pixels past it, and a zero is marked.
  bool fromZero = false;
  // Its series share each category's slot as the bar grouping says (beside one another, in one
  // depth row where grouped); any other series stands in a depth row of its own.
  bool sharesSlot = false;
  bool stacks = false;  // the stacked groupings pile its values up
};

inline constexpr std::array<SeriesKindTraits, 4> kSeriesKinds = {{
    {.kind = SeriesKind::Pie, .name = "pie", .dataLabelsByDefault = true, .colorPerPoint = true},
    {.kind = SeriesKind::Line, .name = "line", .onAxes = true, .legendLine = true},
    {.kind = SeriesKind::Bar,
     .name = "vertical bar",
     .onAxes = true,
     .dataLabelsByDefault = true,
     .fromZero = true,
     .sharesSlot = true,
     .stacks = true},
    {.kind = SeriesKind::HorizBar,
     .name = "horizontal bar",
     .onAxes = true,
     .horizontal = true,
     .dataLabelsByDefault = true,
     .fromZero = true,
     .sharesSlot = true,
     .stacks = true},
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
