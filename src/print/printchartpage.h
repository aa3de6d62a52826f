#pragma once
// The printed chart page: the page texts, then the chart inside the margins, as one job.

class TPrinter;
struct PrintSettings;
namespace chart {
class ChartDocument;
}

// Opens a job on `printer`, draws the page texts in order, each in its own font starting from
// the regular style, then the chart into the rectangle that the margins leave, and ends the
// job. When anything fails after the job was opened, the job is discarded and the error goes
// on to the caller; when opening fails, the error goes on at once.
void PrintChartPage(TPrinter& printer, const chart::ChartDocument& chart,
                    const PrintSettings& settings);
