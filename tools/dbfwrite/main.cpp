// tarvo-dbfwrite: writes the property table or the data table of the chart routine from
// text lines on standard input, fields separated by "|":
//   tarvo-dbfwrite [options] properties OUT.DBF   lines: lead|data set|KEYWORD|value
//   tarvo-dbfwrite [options] data N OUT.DBF       lines: lead|label|value|colour|value|colour...
// A line whose first field starts with "*" becomes a deleted record; lines starting with "#"
// and empty lines are skipped. Options, for damaged tables: --version=N --no-eof --count=N
// --cut=N (bytes cut off the end) --extra=N (blanks added at the end).

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "dbfwriter.h"

namespace {

std::vector<std::string> SplitBars(const std::string& line) {
  std::vector<std::string> parts;
  std::stringstream stream(line);
  std::string part;
  while (std::getline(stream, part, '|')) parts.push_back(part);
  if (!line.empty() && line.back() == '|') parts.push_back("");
  return parts;
}

std::vector<std::vector<std::string>> ReadRows() {
  std::vector<std::vector<std::string>> rows;
  std::string line;
  while (std::getline(std::cin, line)) {
    if (line.empty() || line[0] == '#') continue;
    rows.push_back(SplitBars(line));
  }
  return rows;
}

bool TakeDeletedMark(std::string& lead) {
  if (lead.empty() || lead[0] != '*') return false;
  lead.erase(0, 1);
  return true;
}

std::string Part(const std::vector<std::string>& parts, std::size_t i) {
  return i < parts.size() ? parts[i] : std::string();
}

DbfTable PropertiesFromRows(std::vector<std::vector<std::string>> rows) {
  std::vector<PropertyRow> records;
  for (auto& parts : rows) {
    PropertyRow row{Part(parts, 0), Part(parts, 1), Part(parts, 2), Part(parts, 3)};
    row.deleted = TakeDeletedMark(row.lead);
    records.push_back(row);
  }
  return PropertyTable(records);
}

DbfTable DataFromRows(int dataSetCount, std::vector<std::vector<std::string>> rows) {
  std::vector<DataRow> records;
  for (auto& parts : rows) {
    DataRow row{Part(parts, 0), Part(parts, 1), {}};
    for (int j = 0; j < dataSetCount; ++j) {
      row.values.push_back({Part(parts, 2 + 2 * j), Part(parts, 3 + 2 * j)});
    }
    row.deleted = TakeDeletedMark(row.lead);
    records.push_back(row);
  }
  return DataTable(dataSetCount, records);
}

// Applies one --option to the table; false when it is not one.
bool ApplyOption(const std::string& option, DbfTable& table) {
  const auto value = [&] { return std::stoul(option.substr(option.find('=') + 1)); };
  if (option.rfind("--version=", 0) == 0) {
    table.version = static_cast<std::uint8_t>(value());
  } else if (option == "--no-eof") {
    table.endOfFileMarker = false;
  } else if (option.rfind("--count=", 0) == 0) {
    table.damage.recordCount = static_cast<std::uint32_t>(value());
  } else if (option.rfind("--cut=", 0) == 0) {
    table.damage.cutBytes = value();
  } else if (option.rfind("--extra=", 0) == 0) {
    table.damage.extraBytes.assign(value(), ' ');
  } else {
    return false;
  }
  return true;
}

int Usage() {
  std::cerr << "usage: tarvo-dbfwrite [--version=N] [--no-eof] [--count=N] [--cut=N] [--extra=N]"
               " properties OUT.DBF | data N OUT.DBF  < lines\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::vector<std::string> options;
  while (!args.empty() && args.front().rfind("--", 0) == 0) {
    options.push_back(args.front());
    args.erase(args.begin());
  }
  try {
    DbfTable table;
    std::string path;
    if (args.size() == 2 && args[0] == "properties") {
      table = PropertiesFromRows(ReadRows());
      path = args[1];
    } else if (args.size() == 3 && args[0] == "data") {
      table = DataFromRows(std::stoi(args[1]), ReadRows());
      path = args[2];
    } else {
      return Usage();
    }
    for (const std::string& option : options) {
      if (!ApplyOption(option, table)) return Usage();
    }
    WriteDbf(path, table);
  } catch (const std::exception& error) {
    std::cerr << "tarvo-dbfwrite: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
