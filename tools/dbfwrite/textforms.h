#pragma once
// The text forms that tarvo-dbfwrite reads, turned into the rows of a table. A field that would
// not fit its width in the table is refused with its line and the reason, never cut.
//
// Property table:
//   bars      lead|data set|KEYWORD|value
//   keywords  KEYWORD [data-set number] value
// Data table:
//   bars      lead|label|value|colour|value|colour...
//   CSV       label,value,colour,value,colour...   (RFC 4180 quoting), or the columns that a
//             header row names (csvcolumns.h); separated by "," or ";", numbers as
//             spreadsheets write them (csvnumbers.h)

#include <cstddef>
#include <functional>
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "dbf/refusal.h"
#include "dbfwrite/dbfwriter.h"

// An input line that cannot be written as it stands.
struct LineRefusal {
  std::size_t line = 0;  // counted from 1
  std::string reason;
};

// Each reader passes every row of the input to `add` as soon as it has read it, in the order of
// the input, and returns the lines that cannot be written as they stand, with the reason.
using PropertySink = std::function<void(const PropertyRow&)>;
using DataSink = std::function<void(const DataRow&)>;
using Refusals = std::vector<LineRefusal>;

// "lead|data set|KEYWORD|value". Empty lines and lines that start with "#" are skipped; a lead
// that starts with "*" makes a deleted record.
Refusals PropertyRowsFromBars(std::istream& in, const PropertySink& add);

// "KEYWORD [data-set number] value": the first word is the keyword, the rest of the line its
// value. After DATASETTITLE and DATASETCOLOR, the only keywords that read it, a whole number is
// the data-set number (1 when none is given); after any other keyword it belongs to the value.
// Lead number 1. Blank lines and lines whose first character is "#" are skipped; a line that
// starts with "*" makes a deleted record.
Refusals PropertyRowsFromKeywordLines(std::istream& in, const PropertySink& add);

// "lead|label|value|colour|..." for `dataSets` data sets; fields of further data sets are not
// written. Skipping and "*" as for properties.
Refusals DataRowsFromBars(std::istream& in, int dataSets, const DataSink& add);

// How a CSV of the data table is written.
struct CsvForm {
  bool header = false;               // the first row names the columns
  std::optional<char> separator;     // "," or ";"; none: the first row tells (SeparatorOfFirstLine)
  std::vector<std::string> columns;  // the columns to write (PickColumns); empty: every one
};

// "label,value,colour,..." for `dataSets` data sets, lead number 1; with a header the first row
// names the columns instead (CsvColumnsFromHeader) and is not written. A row may leave out
// fields at its end; a value left out is missing. Each value must be a number (ReadCsvNumber,
// in the convention of the separator), and is written with "." as its decimal separator and
// without grouping, so that it reads the same in every locale; a colour field that holds a
// number is refused. Empty lines are skipped.
Refusals DataRowsFromCsv(std::istream& in, int dataSets, const CsvForm& form, const DataSink& add);
