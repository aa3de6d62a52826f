#pragma once
// Opening and checking the two tables of a run.

#include "dbffile.h"

// Opens the data table (dataFileName) and the property table (propertyFileName) and checks
// their version bytes and sizes. On a refusal it has shown its message, closed what it opened
// and set skipRun; on success both stay open.
bool OpenTables(DbfFile& propertyFile, DbfFile& dataFile);

// Closes the data table first, then the property table.
void CloseTables(DbfFile& propertyFile, DbfFile& dataFile);

inline constexpr const char* kNoticeCaption = "TarvoChart Notice:";
inline constexpr const char* kCorruptCaption = "Tarvo Technologies Chart Routine Notice!";
inline constexpr const char* kCorruptText =
    "Inaccessible or Corrupt ChartDat.DBF or ChartPro.DBF file.";
