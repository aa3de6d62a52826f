#include "dbfwrite/csvcolumns.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <sstream>

#include "dbfwrite/csvrecords.h"
#include "runtime/text.h"

namespace {

std::string ColumnName(std::size_t i) { return "column " + std::to_string(i + 1); }

// The column that `pick` numbers from 1; nothing when it is not a whole number above 0.
std::optional<std::size_t> ColumnNumbered(const std::string& pick) {
  std::size_t number = 0;
  const auto [end, error] = std::from_chars(pick.data(), pick.data() + pick.size(), number);
  if (error != std::errc() || end != pick.data() + pick.size() || number == 0) return std::nullopt;
  return number - 1;
}

// The one column that the header names `pick`, in this letter case or, failing that, in any.
// `problem` says so when several have that name.
std::optional<std::size_t> ColumnNamed(const std::vector<std::string>& header,
                                       const std::string& pick, std::string& problem) {
  for (const bool anyCase : {false, true}) {
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < header.size(); ++i) {
      if (anyCase ? UpperCase(header[i]) == UpperCase(pick) : header[i] == pick) found.push_back(i);
    }
    if (found.size() == 1) return found[0];
    if (found.size() > 1) {
      problem = "--columns names " + QuotedExcerpt(pick) + ", the name of columns " +
                std::to_string(found[0] + 1) + " and " + std::to_string(found[1] + 1) +
                ": name the one you mean by its number";
      return std::nullopt;
    }
  }
  return std::nullopt;
}

// The data set of `all` whose colour column is `column`, if there is one.
const CsvDataSetColumns* ColourColumnOf(const CsvColumns& all, std::size_t column) {
  const auto owner =
      std::ranges::find(all.dataSets, std::optional(column), &CsvDataSetColumns::colour);
  return owner == all.dataSets.end() ? nullptr : &*owner;
}

// The column that `pick` names, by its name in the header or by its number; a colour column is
// not one to name: it comes with its value column.
std::optional<std::size_t> PickedColumn(const CsvColumns& all, const std::string& pick,
                                        std::string& problem) {
  auto column = ColumnNamed(all.header, pick, problem);
  if (!column && problem.empty()) column = ColumnNumbered(pick);
  if (column && !all.header.empty() && *column >= all.count) column.reset();
  if (!column) {
    if (problem.empty()) {
      problem = "--columns names " + QuotedExcerpt(pick) + ", which is none of the " +
                std::to_string(all.count) + " columns of the header: " + DescribeColumns(all);
    }
    return std::nullopt;
  }
  if (const CsvDataSetColumns* owner = ColourColumnOf(all, *column)) {
    problem = "--columns names " + QuotedExcerpt(pick) + ", the colour column of " +
              QuotedExcerpt(owner->name) + ": name the value column, and its colours come with it";
    return std::nullopt;
  }
  return column;
}

// How many columns a description tells of: every column of a row, or, without a header, as
// far as the picked ones go.
std::size_t DescribedColumns(const CsvColumns& columns) {
  if (!columns.header.empty() || !columns.picked) return columns.count;
  std::size_t last = columns.label;
  for (const CsvDataSetColumns& dataSet : columns.dataSets) last = std::max(last, dataSet.value);
  return last + 1;
}

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

std::vector<std::string> ColumnList(const std::string& list) {
  std::istringstream in(list);
  CsvReader reader(in);
  reader.UseSeparator(reader.SeparatorOfFirstLine());
  CsvRecord record;
  std::vector<std::string> picks;
  if (!reader.Next(record) || !record.error.empty()) return picks;
  for (const std::string& field : record.fields) picks.push_back(Trim(field));
  return picks;
}

std::string ColumnListProblem(const std::vector<std::string>& picks, bool header) {
  if (picks.empty()) {
    return "--columns names no column: name the label's column, then the data sets' columns, "
           "such as --columns \"Month,Sales\"";
  }
  for (const std::string& pick : picks) {
    if (pick.empty()) return "--columns holds an empty column name";
    if (!header && !ColumnNumbered(pick)) {
      return "--columns names " + QuotedExcerpt(pick) +
             ": without --header the columns have no names; give their numbers, from 1";
    }
  }
  return "";
}

CsvColumns PickColumns(const CsvColumns& all, const std::vector<std::string>& picks,
                       std::string& problem) {
  CsvColumns columns;
  columns.header = all.header;
  columns.count = all.count;
  columns.picked = true;
  if (all.header.empty()) columns.count = std::numeric_limits<std::size_t>::max();
  for (std::size_t p = 0; p < picks.size(); ++p) {
    const auto column = PickedColumn(all, picks[p], problem);
    if (!column) return columns;
    if (p == 0) {
      columns.label = *column;
      continue;
    }
    const auto own = std::ranges::find(all.dataSets, *column, &CsvDataSetColumns::value);
    const auto colour = own == all.dataSets.end() ? std::nullopt : own->colour;
    columns.dataSets.push_back({all.header.empty() ? "" : all.header[*column], *column, colour});
  }
  return columns;
}

std::string DescribeColumns(const CsvColumns& columns) {
  std::vector<std::string> roles(DescribedColumns(columns));
  roles[columns.label] = "label";
  for (std::size_t j = 0; j < columns.dataSets.size(); ++j) {
    const CsvDataSetColumns& dataSet = columns.dataSets[j];
    roles[dataSet.value] = "value " + std::to_string(j + 1);
    if (dataSet.colour) roles[*dataSet.colour] = "colour " + std::to_string(j + 1);
  }
  std::string text;
  for (std::size_t i = 0; i < roles.size(); ++i) {
    if (roles[i].empty() && columns.header.empty()) continue;
    const std::string role = roles[i].empty() ? "not written" : roles[i];
    if (!text.empty()) text += ", ";
    if (!columns.header.empty()) {
      text += Excerpt(columns.header[i]) + " (" + role + ")";
    } else {
      text += columns.picked ? ColumnName(i) + " (" + role + ")" : role;
    }
  }
  return text;
}
