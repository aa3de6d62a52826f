#pragma once
// A row of tarvo-inspect's report table: the tables, the verdict and what the report must say;
// and the test that writes the tables, runs the checker and bears its verdict out with the real
// run (inspect_test.cpp), so that rows can be written in more than one file.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdint>
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

class InspectReport : public ::testing::TestWithParam<InspectCase> {
 protected:
  // Writes both tables into the folder; returns the folder.
  std::string WriteTables(const InspectCase& c) {
    DbfTable properties = PropertyTable(c.properties);
    properties.version = c.propertyVersion;
    properties.damage = c.propertyDamage;
    WriteDbf(Path("P.DBF"), properties);
    WriteDbf(Path("D.DBF"), c.data);
    return dir_.path().toStdString();
  }
  std::string Path(const std::string& name) const {
    return dir_.filePath(QString::fromStdString(name)).toStdString();
  }
  QTemporaryDir dir_;
};

}  // namespace inspect_test
