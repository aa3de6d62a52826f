#pragma once
// The family of every text the chart draws, loaded from font files the program names itself, so
// that the same tables give the same widths, layout and pixels whatever the machine's font
// configuration prefers.

#include <QString>

namespace chart {

// DejaVu Sans from fonts-dejavu-core (regular, bold, oblique, bold oblique), loaded by path
// once per process; the Qt application must exist. The first call adds a rendering rule to the
// font configuration: a program that draws on several threads calls it before they start.
// Where the files cannot be read, the application's default family, so that a chart is still
// drawn.
const QString& ChartFontFamily();

// The folder the family's files are read from.
inline constexpr const char* kChartFontFolder = "/usr/share/fonts/truetype/dejavu/";

}  // namespace chart
