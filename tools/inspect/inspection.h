#pragma once
// What tarvochart reads from its two tables, told step by step in the order of its run: the
// table checks, every property record and what it set, the settings and the check that follow,
// the series, and every data record, up to the message that would end the run. It uses the
// program's own reader and decoders, and shows no window.

#include <ostream>
#include <string>

#include "chartoptions.h"
#include "printsettings.h"
#include "valuelist.h"
#include "windowmodel.h"

// Whether the run would draw its chart, or end with a message instead.
enum class Verdict { DrawsChart, EndsWithMessage };

// Writes the report on the tables to `out`. With `allRecords` every record is shown; otherwise a
// long table shows its first and last records.
Verdict InspectTables(const std::string& propertyName, const std::string& dataName, bool allRecords,
                      std::ostream& out);

// Everything the property pass acts on, held as plain data.
struct PassState {
  WindowModel window;
  bool skipRun = false;
  ChartOptions options;
  PrintSettings print;
  ValueList valueList;
};
