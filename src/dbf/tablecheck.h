#pragma once
// Opening and checking the two tables of a run.

#include <optional>
#include <string>

#include "dbf/dbffile.h"
#include "dbf/refusal.h"

// Opens the data table, then the property table, and checks their version bytes and then their
// sizes, the data table first each time. Returns the refusal of the first check that fails. The
// tables stay as the checks leave them, so that a report can tell what each holds: the caller
// closes them (CloseTables).
std::optional<Refusal> OpenAndCheckTables(DbfFile& propertyFile, const std::string& propertyName,
                                          DbfFile& dataFile, const std::string& dataName);

// Closes the data table first, then the property table.
void CloseTables(DbfFile& propertyFile, DbfFile& dataFile);

inline constexpr const char* kNoticeCaption = "TarvoChart Notice:";
inline constexpr const char* kCorruptCaption = "Tarvo Technologies Chart Routine Notice!";
inline constexpr const char* kCorruptText =
    "Inaccessible or Corrupt ChartDat.DBF or ChartPro.DBF file.";
