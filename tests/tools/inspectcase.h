#pragma once
// A row of tarvo-inspect's report table: the tables, the verdict and what the report must say;
// and the test that writes the tables, runs the checker and bears its verdict out with the real
// run (inspect_test.cpp), so that rows can be written in more than one file.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "dbfwrite/dbfwriter.h"

namespace inspect_test {

using Rows = std::vector<PropertyRow>;
using Fragments = std::vector<std::string>;

struct InspectCase {
  std::string name;
  Rows properties;
  DbfTable data;
  std::string verdict;  // the report's last line after "verdict: "
  Fragments report;     // each stands in the report
  std::vector<std::string> options = {};
  std::uint8_t propertyVersion = 3;
  DbfDamage propertyDamage = {};
  std::vector<std::string> tables = {"P.DBF", "D.DBF"};  // the names given, in this order
};

inline void PrintTo(const InspectCase& c, std::ostream* out) { *out << c.name; }

// The table as Visual FoxPro writes it: 263 bytes after the descriptors' terminator, where it
// keeps the name of a table's database, counted in the header's length.
inline std::string WithBacklink(std::string bytes, std::size_t fields) {
  constexpr std::size_t kBacklink = 263;
  bytes.insert(32 * (fields + 1) + 1, kBacklink, '\0');
  const std::size_t header = (std::uint8_t(bytes[8]) | std::uint8_t(bytes[9]) << 8) + kBacklink;
  bytes[8] = static_cast<char>(header & 0xFF);
  bytes[9] = static_cast<char>(header >> 8);
  return bytes;
}

class InspectReport : public ::testing::TestWithParam<InspectCase> {
 protected:
  // Writes both tables into the folder; returns the folder.
  std::string WriteTables(const InspectCase& c) {
    DbfTable properties = PropertyTable(c.properties);
    properties.version = c.propertyVersion;
    properties.damage = c.propertyDamage;
    Write("P.DBF", properties);
    Write("D.DBF", c.data);
    return dir_.path().toStdString();
  }
  // Visual FoxPro's tables with the bytes it keeps after the descriptors.
  void Write(const std::string& name, const DbfTable& table) {
    std::string bytes = EncodeDbf(table);
    if (table.version == 0x30) bytes = WithBacklink(bytes, table.fields.size());
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
  std::string Path(const std::string& name) const {
    return dir_.filePath(QString::fromStdString(name)).toStdString();
  }
  QTemporaryDir dir_;
};

}  // namespace inspect_test
