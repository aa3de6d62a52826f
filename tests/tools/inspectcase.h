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
#include "support/tablerows.h"

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

// The tables that the rows of the report table are built from.
inline const Rows kSoundProperties = {Row("DATASETCOUNT", "2"), Row("CHARTSTYLE", "vertbar;2"),
                                      Row("DATASETTITLE", "North"),
                                      Row("DATASETCOLOR", "navy", "2")};

inline DbfTable SoundData() {
  return DataTable(2, {{"1", "Jan", {{"10", "red"}, {"20", ""}}},
                       {"1", "Feb", {{"1.5e1", ""}, {"-3", "lime"}}}});
}

inline DbfTable DataWith(const std::string& lead, const std::string& value) {
  return DataTable(
      2, {{"1", "Jan", {{"10", ""}, {"20", ""}}}, {lead, "Feb", {{value, ""}, {"1", ""}}}});
}

inline DbfTable LongData(int records) {
  std::vector<DataRow> rows;
  for (int i = 1; i <= records; ++i) {
    rows.push_back({"1", "label " + std::to_string(i), {{std::to_string(i), ""}, {"0", ""}}});
  }
  if (records >= 50) rows[49].deleted = true;
  return DataTable(2, rows);
}

inline DbfDamage CutBytes(std::uint64_t bytes) {
  DbfDamage damage;
  damage.cutBytes = bytes;
  return damage;
}

inline DbfTable DataColored(const std::string& first, const std::string& second) {
  return DataTable(2, {{"1", "Jan", {{"10", first}, {"20", second}}}});
}

inline const Rows kWindowless = {Row("DATASETCOUNT", "2"), Row("CHARTSTYLE", "PIE"), Row("NOSHOW")};

inline const Rows kMonthlyBars = {Row("DATASETCOUNT", "2"), Row("CHARTSTYLE", "VERTBAR;1"),
                                  Row("DATALABELS"), Row("2D")};

// Two data sets of twelve months, of five-digit values with decimals.
inline DbfTable MonthlyData() {
  std::vector<DataRow> rows;
  for (int month = 1; month <= 12; ++month) {
    const std::string value = std::to_string(30000 + month * 3217) + ".25";
    rows.push_back({"1", "M" + std::to_string(month), {{value, ""}, {value + "5", ""}}});
  }
  return DataTable(2, rows);
}

// One data set of forty categories, for a pie of forty slices.
inline DbfTable FortySlices() {
  std::vector<DataRow> rows;
  for (int i = 1; i <= 40; ++i)
    rows.push_back({"1", "C" + std::to_string(i), {{std::to_string(i), ""}}});
  return DataTable(1, rows);
}

inline Rows WithRecords(Rows rows, const Rows& more) {
  rows.insert(rows.end(), more.begin(), more.end());
  return rows;
}

inline Rows ElevenPageTexts() {
  Rows rows = kSoundProperties;
  for (int i = 1; i <= 11; ++i)
    rows.push_back(Row("PRINTPAGETEXT", "T" + std::to_string(i) + ";1;2;Sans;9;bi"));
  return rows;
}

// The sound properties and then the axis title again and again, to `records` in all.
inline Rows LongProperties(int records) {
  Rows rows = kSoundProperties;
  while (static_cast<int>(rows.size()) < records) {
    rows.push_back(Row("LEFTAXISTITLE", "T" + std::to_string(rows.size() + 1)));
  }
  return rows;
}

}  // namespace inspect_test
