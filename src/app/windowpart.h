#pragma once
// The part of the program that only a run with a window or a print needs: the widgets, the
// window, the print dialog and the printer, with Qt Widgets and PrintSupport. It is a library of
// its own that the program loads when it needs it, so that a windowless run that only writes an
// image never loads those libraries.

#include <string>

struct PrintSettings;
namespace chart {
class ChartDocument;
}

// Creates the Qt application, runs the creation pass in the window and shows it until it is
// closed. Reports every problem itself.
using RunWithWindowFunction = void(int argc, char** argv);
// Prints the chart page on the print service's default destination; false with the reason in
// `error` when it cannot.
using PrintChartFunction = bool(const chart::ChartDocument& chart, const PrintSettings& settings,
                                std::string& error);

inline constexpr const char* kWindowPartFile = "libtarvochart-window.so";
inline constexpr const char* kRunWithWindowName = "TarvoRunWithWindow";
inline constexpr const char* kPrintChartName = "TarvoPrintChart";

// The window part, loaded on first use from the program's folder, or from ../lib/tarvochart
// beside it where the program is installed. Throws Exception when it cannot be loaded.
RunWithWindowFunction& LoadRunWithWindow();
PrintChartFunction& LoadPrintChart();
