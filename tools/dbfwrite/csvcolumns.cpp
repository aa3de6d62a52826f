#include "csvcolumns.h"

#include "runtime.h"

namespace {

std::string ColumnName(std::size_t i) { return "column " + std::to_string(i + 1); }

// Why the colour column `i` cannot be read: nothing right before it is a value column.
std::string OrphanColourColumn(const std::vector<std::string>& names, std::size_t i) {
  if (names[i].empty()) {
    return ColumnName(i) +
           " has no name: a column without a name is the colour column of the value column "
           "right before it, and there is none";
  }
  return ColumnName(i) + " (" + QuotedExcerpt(names[i]) +
         ") names a colour, but no value column comes right before it: a colour column follows "
         "the value column of its data set";
}

}  // namespace

CsvColumns CsvColumnsWithoutHeader(int dataSets) {
  CsvColumns columns;
  for (std::size_t j = 0; j < std::size_t(dataSets); ++j) {
    columns.dataSets.push_back({"", 1 + 2 * j, 2 + 2 * j});
  }
  columns.count = 1 + 2 * std::size_t(dataSets);
  return columns;
}

bool IsColourColumnName(std::string_view name) {
  const std::string word = UpperCase(Trim(name));
  for (const std::string_view colour : {"COLOUR", "COLOR"}) {
    if (word == colour) return true;
    if (word.size() <= colour.size() + 1 || !word.ends_with(colour)) continue;
    const char before = word[word.size() - colour.size() - 1];
    if (before == ' ' || before == '_' || before == '-') return true;
  }
  return false;
}

CsvColumns CsvColumnsFromHeader(const std::vector<std::string>& names, std::string& problem) {
  CsvColumns columns;
  columns.count = names.size();
  for (const std::string& name : names) columns.header.push_back(Trim(name));
  bool afterValue = false;
  for (std::size_t i = 1; i < names.size(); ++i) {
    const std::string& name = columns.header[i];
    if (!name.empty() && !IsColourColumnName(name)) {
      columns.dataSets.push_back({name, i, std::nullopt});
      afterValue = true;
    } else if (afterValue) {
      columns.dataSets.back().colour = i;
      afterValue = false;
    } else {
      problem = OrphanColourColumn(columns.header, i);
      return columns;
    }
  }
  return columns;
}

std::string DescribeColumns(const CsvColumns& columns) {
  std::vector<std::string> roles(columns.count);
  roles[0] = "label";
  for (std::size_t j = 0; j < columns.dataSets.size(); ++j) {
    const CsvDataSetColumns& dataSet = columns.dataSets[j];
    roles[dataSet.value] = "value " + std::to_string(j + 1);
    if (dataSet.colour) roles[*dataSet.colour] = "colour " + std::to_string(j + 1);
  }
  std::string text;
  for (std::size_t i = 0; i < roles.size(); ++i) {
    if (i > 0) text += ", ";
    text += columns.header.empty() ? roles[i] : Excerpt(columns.header[i]) + " (" + roles[i] + ")";
  }
  return text;
}
