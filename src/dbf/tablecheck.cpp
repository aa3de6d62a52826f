#include "dbf/tablecheck.h"

#include <cerrno>

#include "runtime/text.h"

namespace {

// The header values in the order the tables are read: each value of the data table, then the
// same value of the property table.
void ReadHeaders(DbfFile& propertyFile, DbfFile& dataFile) {
  for (auto read : {&DbfFile::ReadHeaderLength, &DbfFile::ReadRecordLength,
                    &DbfFile::ReadRecordCount, &DbfFile::ReadFileSize}) {
    (dataFile.*read)();
    (propertyFile.*read)();
  }
}

// Why a table could not be opened where the cause lies with the process, not with the table: no
// file descriptor or no memory left. Empty otherwise: a missing, unreadable or locked table
// keeps the message as hosts know it.
std::string ProcessLimit(const DbfFile& propertyFile, const DbfFile& dataFile) {
  for (const int error : {dataFile.OpenError(), propertyFile.OpenError()}) {
    if (error == EMFILE || error == ENFILE || error == ENOMEM)
      return " (" + SystemReason(error) + ")";
  }
  return "";
}

}  // namespace

std::optional<Refusal> OpenAndCheckTables(DbfFile& propertyFile, const std::string& propertyName,
                                          DbfFile& dataFile, const std::string& dataName) {
  const bool dataOpened = dataFile.Open(dataName);
  const bool propertyOpened = propertyFile.Open(propertyName);
  if (!dataOpened || !propertyOpened) {
    return Refusal{"Could not open file(s): " + propertyName + " or " + dataName +
                       ProcessLimit(propertyFile, dataFile),
                   kNoticeCaption, RefusedBy::Opening};
  }
  dataFile.ReadVersion();
  propertyFile.ReadVersion();
  if (!IsAcceptedVersion(dataFile.version) || !IsAcceptedVersion(propertyFile.version)) {
    return Refusal{propertyName + " or " + dataName + " invalid file type(s).", kNoticeCaption,
                   RefusedBy::Version};
  }
  ReadHeaders(propertyFile, dataFile);
  if (!dataFile.IsConsistent() || !propertyFile.IsConsistent()) {
    return Refusal{kCorruptText, kCorruptCaption, RefusedBy::Size};
  }
  return std::nullopt;
}

void CloseTables(DbfFile& propertyFile, DbfFile& dataFile) {
  dataFile.Close();
  propertyFile.Close();
}
