#pragma once
// Which kind of chart a chart style names.

#include <string_view>

enum class ChartStyleKind { Pie, Line, Bars, Unknown };

// "PIE" and "LINE" as the whole style; any style that contains "BAR" (with or without a second
// item, "VERTBAR;2" or "HBAR"); anything else is Unknown. Exact and case-sensitive: the style has
// been upper-cased when it was read.
ChartStyleKind ChartStyleOf(std::string_view style);
