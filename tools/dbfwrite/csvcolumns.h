#pragma once
// Which column of a CSV row of the data table holds what: the first column the label, and per
// data set a value column and, when it has one, a colour column.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct CsvDataSetColumns {
  std::string name;                   // the value column's name in the header; empty without one
  std::size_t value = 0;              // column index, from 0
  std::optional<std::size_t> colour;  // none: the data set's colour fields are left empty
};

struct CsvColumns {
  std::vector<std::string> header;  // every column's name; empty when the input has no header
  std::size_t label = 0;            // column index of the labels
  std::vector<CsvDataSetColumns> dataSets;
  std::size_t count = 1;  // the most columns a row has
  bool picked = false;    // picked from the columns of the input: the others are not written
};

// label,value,colour,value,colour... for `dataSets` data sets.
CsvColumns CsvColumnsWithoutHeader(int dataSets);

// A column name that makes a colour column: "Colour" or "Color" in any letter case, blanks
// around it not counting, alone or after a name and a blank, "_" or "-" ("North colour").
bool IsColourColumnName(std::string_view name);

// The columns that a header row names: the first is the label; a column with a colour name
// (IsColourColumnName) or with no name at all is the colour column of the value column right
// before it; every other column is a value column, one data set each. `problem` says why when
// a colour column has no value column right before it.
CsvColumns CsvColumnsFromHeader(const std::vector<std::string>& names, std::string& problem);

// The columns named in `list` (--columns): by the name that the header gives them, or by their
// number from 1, separated by "," or ";" and quoted as in CSV. Why the list cannot name columns
// whatever the input holds ("" when it can): `header` tells whether names can be looked up.
std::vector<std::string> ColumnList(const std::string& list);
std::string ColumnListProblem(const std::vector<std::string>& picks, bool header);

// Of `all` (the header's columns, or no header), the columns that `picks` name, in their order:
// the first is the label, every other a value column, which brings its colour column along.
// `problem` says why when a pick names no column, several, or a colour column.
CsvColumns PickColumns(const CsvColumns& all, const std::vector<std::string>& picks,
                       std::string& problem);

// What each column holds, for messages: "Quarter (label), Widgets (value 1), Colour (colour 1)"
// with a header, "label, value 1, colour 1" without, "column 3 (label)..." for picked columns
// without a header.
std::string DescribeColumns(const CsvColumns& columns);
