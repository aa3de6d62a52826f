#pragma once
// What tarvochart reads from its two tables, told step by step as its creation pass goes: the
// table checks, every property record and what it set, the settings and the check that follow,
// the series, and every data record, up to the message that would end the run. It runs the
// program's own pass, with the window's controls as plain data and the outputs only described:
// it shows no window, prints nothing and writes no file.

#include <QSize>
#include <optional>
#include <ostream>
#include <string>

// Whether the run would draw its chart, end with a message instead, or, windowless with no image
// and no print, draw it and end with nothing to show for it.
enum class Verdict { DrawsChart, EndsWithMessage, MakesNothing };

struct InspectionResult {
  Verdict verdict = Verdict::DrawsChart;
  int warnings = 0;  // things the tables seem to ask for that the run does otherwise or not at all
};

// Writes the report on the tables to `out`, ending with its verdict line (VerdictLine). With
// `allRecords` every record is shown; otherwise a long table shows its first and last records.
// The chart is laid out at the size of its image file and of the window as it opens, or at
// `size` alone where one is given.
InspectionResult InspectTables(const std::string& propertyName, const std::string& dataName,
                               bool allRecords, std::ostream& out,
                               std::optional<QSize> size = std::nullopt);

// The report's last line, for scripts: "verdict: " and one of "draws", "ends with a message" or
// "makes nothing", then ", " and the number of warnings ("1 warning", "2 warnings").
std::string VerdictLine(const InspectionResult& result);
