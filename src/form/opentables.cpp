#include "opentables.h"

#include "application.h"
#include "tablecheck.h"
#include "unit1.h"

void ShowRefusal(const Refusal& refusal) {
  Application.MessageBox(refusal.text, refusal.caption);
  skipRun = true;
}

bool OpenTables(DbfFile& propertyFile, DbfFile& dataFile) {
  skipRun = false;
  const auto refusal = OpenAndCheckTables(propertyFile, propertyFileName, dataFile, dataFileName);
  if (refusal) ShowRefusal(*refusal);
  return !refusal;
}
