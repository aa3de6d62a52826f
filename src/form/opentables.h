#pragma once
// The window unit's side of the table checks and refusals: messages and the program-wide flag.

#include "runtime.h"

class DbfFile;

// Shows the refusal in its message box and makes start-up end without a window.
void ShowRefusal(const Refusal& refusal);

// Clears skipRun, then opens the data table (dataFileName) and the property table
// (propertyFileName) and checks them. On a refusal it has shown its message, closed both tables
// and set skipRun; on success both stay open.
bool OpenTables(DbfFile& propertyFile, DbfFile& dataFile);
