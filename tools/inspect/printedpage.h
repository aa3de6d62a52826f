#pragma once
// The printed page, where the tables print it (PRINT at start-up, or page texts for "Print
// Graph"): the printer that the page goes to, its resolution, and its page and printable area
// in pixels, so that a host can place the page texts, which are printer pixels; where the chart
// lands; and a warning for a page text that starts outside the printable area.

#include <ostream>

struct ChartOptions;
struct PrintSettings;
class Warnings;

// Asks the print server, as a print at start-up would, within the print deadline; where it
// cannot be asked, says why.
void ReportPrintedPage(const ChartOptions& options, const PrintSettings& print, Warnings& warnings,
                       std::ostream& out);
