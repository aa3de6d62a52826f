#pragma once
// A temporary folder for the tables of one test.

#include <QTemporaryDir>
#include <fstream>
#include <string>

#include "dbfwrite/dbfwriter.h"

class TableFolder {
 public:
  std::string Path(const std::string& name) const {
    return dir_.filePath(QString::fromStdString(name)).toStdString();
  }
  std::string Folder() const { return dir_.path().toStdString(); }

  // Writes the table (or the bytes) and returns the file's path.
  std::string Write(const std::string& name, const DbfTable& table) const {
    WriteDbf(Path(name), table);
    return Path(name);
  }
  std::string WriteBytes(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
    return Path(name);
  }

 private:
  QTemporaryDir dir_;
};

// A table of `count` records of `recordLength` bytes with one single text field.
inline DbfTable Records(int count, int recordLength) {
  DbfTable table;
  table.fields = {{"TEXT", 'C', recordLength - 1}};
  for (int i = 0; i < count; ++i) table.records.push_back({"record " + std::to_string(i + 1)});
  return table;
}
