#pragma once
// The parts of the report, each in the order of the run.

#include <optional>
#include <ostream>
#include <string>

#include "chartseries.h"
#include "inspection.h"
#include "runtime.h"

class DbfFile;

// Opens and checks both tables as the run does and tells each table's header and checks. On
// success both stay open; otherwise the refusal of the run.
std::optional<Refusal> ReportTableChecks(DbfFile& propertyFile, const std::string& propertyName,
                                         DbfFile& dataFile, const std::string& dataName,
                                         std::ostream& out);

// Every property record, what it set or why it had no effect. False when a record ends the run;
// its message has been written then.
bool ReportPropertyRecords(const DbfFile& propertyFile, PassState& state, bool allRecords,
                           std::ostream& out);

// The chart options and print settings that the property records leave.
void ReportSettings(const PassState& state, std::ostream& out);

// The series that the style creates; none when the style ends the run (its message written).
std::optional<SeriesPlan> ReportSeries(PassState& state, const std::string& propertyTable,
                                       std::ostream& out);

// Every data record with its label, values and colours. False when a record ends the run; its
// message has been written then.
bool ReportDataRecords(const DbfFile& dataFile, const PassState& state, bool allRecords,
                       std::ostream& out);

// The message that ends the run, as the program shows it.
void ReportRunEnd(const std::string& caption, const std::string& text, std::ostream& out);
void ReportRunEnd(const Exception& error, std::ostream& out);
