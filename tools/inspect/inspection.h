#pragma once
// What tarvochart reads from its two tables, told step by step as its creation pass goes: the
// table checks, every property record and what it set, the settings and the check that follow,
// the series, and every data record, up to the message that would end the run. It runs the
// program's own pass, with the window's controls as plain data and the outputs only described:
// it shows no window, prints nothing and writes no file.

#include <ostream>
#include <string>

// Whether the run would draw its chart, or end with a message instead.
enum class Verdict { DrawsChart, EndsWithMessage };

// Writes the report on the tables to `out`. With `allRecords` every record is shown; otherwise a
// long table shows its first and last records.
Verdict InspectTables(const std::string& propertyName, const std::string& dataName, bool allRecords,
                      std::ostream& out);
