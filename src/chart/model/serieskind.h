#pragma once
// What sets the kinds of series apart, in one table: the layout, the legend, the colours, a new
// series' defaults and the reports ask a kind what it is instead of testing which one it is.

#include <array>
#include <cstddef>
#include <string_view>

namespace chart {

enum class SeriesKind { Pie, Line, Bar, HorizBar };

// How a kind draws its points.
enum class SeriesShape {
  Slices,  // a pie; a chart of pies has no axes
  Line,    // a line through the points, on axes, in a depth row of its own
  Bars,    // a bar from zero for each point, on axes; bar series share a category by the
           // multi-bar mode, and the value axis always holds zero
};

struct SeriesKindTraits {
  SeriesKind kind;
  std::string_view name;  // in reports
  SeriesShape shape;
  bool horizontal;  // values run across, categories down (the chart's first series decides)
  bool dataLabelsByDefault;  // value labels shown on a new series
  // Each point shows in a colour of its own (the palette's by its index where it has none), so
  // that the legend lists the points, not the series.
  bool colorPerPoint;
};

inline constexpr std::array<SeriesKindTraits, 4> kSeriesKinds = {{
    {SeriesKind::Pie, "pie", SeriesShape::Slices, false, true, true},
    {SeriesKind::Line, "line", SeriesShape::Line, false, false, false},
    {SeriesKind::Bar, "vertical bar", SeriesShape::Bars, false, true, false},
    {SeriesKind::HorizBar, "horizontal bar", SeriesShape::Bars, true, true, false},
}};

constexpr const SeriesKindTraits& Traits(SeriesKind kind) {
  return kSeriesKinds[static_cast<std::size_t>(kind)];
}

constexpr bool IsBar(SeriesKind kind) { return Traits(kind).shape == SeriesShape::Bars; }
constexpr bool IsPie(SeriesKind kind) { return Traits(kind).shape == SeriesShape::Slices; }

static_assert(Traits(SeriesKind::Pie).kind == SeriesKind::Pie &&
                  Traits(SeriesKind::Line).kind == SeriesKind::Line &&
                  Traits(SeriesKind::Bar).kind == SeriesKind::Bar &&
                  Traits(SeriesKind::HorizBar).kind == SeriesKind::HorizBar,
              "kSeriesKinds is in the order of SeriesKind");

}  // namespace chart
