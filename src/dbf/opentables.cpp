#include "opentables.h"

#include "application.h"
#include "unit1.h"

namespace {

bool Refuse(const std::string& text, const std::string& caption) {
  Application.MessageBox(text, caption);
  skipRun = true;
  return false;
}

// The header values in the order the tables are read: each value of the data table, then the
// same value of the property table.
void ReadHeaders(DbfFile& propertyFile, DbfFile& dataFile) {
  for (auto read : {&DbfFile::ReadHeaderLength, &DbfFile::ReadRecordLength,
                    &DbfFile::ReadRecordCount, &DbfFile::ReadFileSize}) {
    (dataFile.*read)();
    (propertyFile.*read)();
  }
}

}  // namespace

void CloseTables(DbfFile& propertyFile, DbfFile& dataFile) {
  dataFile.Close();
  propertyFile.Close();
}

bool OpenTables(DbfFile& propertyFile, DbfFile& dataFile) {
  skipRun = false;
  const bool dataOpened = dataFile.Open(dataFileName);
  const bool propertyOpened = propertyFile.Open(propertyFileName);
  if (!dataOpened || !propertyOpened) {
    CloseTables(propertyFile, dataFile);
    return Refuse("Could not open file(s): " + propertyFileName + " or " + dataFileName,
                  kNoticeCaption);
  }

  dataFile.ReadVersion();
  propertyFile.ReadVersion();
  if (!IsAcceptedVersion(dataFile.version) || !IsAcceptedVersion(propertyFile.version)) {
    CloseTables(propertyFile, dataFile);
    return Refuse(propertyFileName + " or " + dataFileName + " invalid file type(s).",
                  kNoticeCaption);
  }

  ReadHeaders(propertyFile, dataFile);
  if (!dataFile.IsConsistent() || !propertyFile.IsConsistent()) {
    CloseTables(propertyFile, dataFile);
    return Refuse(kCorruptText, kCorruptCaption);
  }
  return true;
}
