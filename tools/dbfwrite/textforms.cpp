#include "dbfwrite/textforms.h"

#include <algorithm>
#include <optional>
#include <set>
#include <sstream>

#include "dbfwrite/csvcolumns.h"
#include "dbfwrite/csvnumbers.h"
#include "dbfwrite/csvrecords.h"
#include "keywords/keywordtable.h"
#include "runtime/text.h"

namespace {

// Refusals of one input; what fits is written, what does not is named with its line.
class RefusalList {
 public:
  explicit RefusalList(std::vector<LineRefusal>& list) : list_(list) {}

  void Add(std::size_t line, const std::string& reason) { list_.push_back({line, reason}); }

  // `hint` the first time it is asked for, then nothing: a hint that fits every line of an
  // input is told once.
  std::string Once(const std::string& hint) { return hintsGiven_.insert(hint).second ? hint : ""; }

  // Refuses `text` when it is longer than its field's `width` in bytes.
  void CheckWidth(std::size_t line, const std::string& what, const std::string& text, int width,
                  const std::string& hint = "") {
    if (text.size() <= std::size_t(width)) return;
    Add(line, what + " is " + std::to_string(text.size()) + " bytes, its field holds " +
                  std::to_string(width) + ": " + QuotedExcerpt(text) + Once(hint));
  }

 private:
  std::vector<LineRefusal>& list_;
  std::set<std::string> hintsGiven_;
};

// Every line with its number, a carriage return at its end taken off, one at a time.
class LineReader {
 public:
  explicit LineReader(std::istream& in) : in_(in) {}
  bool Next() {
    if (!std::getline(in_, text)) return false;
    ++number;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    return true;
  }
  std::size_t number = 0;
  std::string text;

 private:
  std::istream& in_;
};

bool SkippedBarLine(const std::string& line) { return line.empty() || line[0] == '#'; }

std::vector<std::string> SplitBars(const std::string& line) {
  std::vector<std::string> parts;
  std::stringstream stream(line);
  std::string part;
  while (std::getline(stream, part, '|')) parts.push_back(part);
  if (!line.empty() && line.back() == '|') parts.push_back("");
  return parts;
}

std::string Part(const std::vector<std::string>& parts, std::size_t i) {
  return i < parts.size() ? parts[i] : std::string();
}

bool TakeDeletedMark(std::string& text) {
  if (text.empty() || text[0] != '*') return false;
  text.erase(0, 1);
  return true;
}

void CheckFieldCount(RefusalList& refusals, std::size_t line, std::size_t fields, std::size_t most,
                     const std::string& form, const std::string& hint = "") {
  if (fields <= most) return;
  refusals.Add(line, std::to_string(fields) + " fields, where " + form + " holds " +
                         std::to_string(most) + hint);
}

// The hints for a line in the bar form that was meant for another form: a lead number that is
// too long tells them.
std::string KeywordLineHint(const std::string& line) {
  return line.find('|') == line.npos ? " (this looks like KEYWORD value lines: give --keywords)"
                                     : "";
}
std::string CsvLineHint(const std::string& line) {
  return line.find('|') == line.npos && line.find(',') != line.npos
             ? " (this looks like CSV: give --csv)"
             : "";
}

void CheckPropertyRow(RefusalList& refusals, std::size_t line, const PropertyRow& row,
                      const std::string& leadHint = "") {
  refusals.CheckWidth(line, "the lead number", row.lead, kPropertyLeadWidth, leadHint);
  refusals.CheckWidth(line, "the data-set number", row.dataSet, kDataSetNumberWidth);
  refusals.CheckWidth(line, "the keyword", row.keyword, kKeywordWidth);
  refusals.CheckWidth(line, "the value", row.value, kPropertyValueWidth);
}

std::string DataSetName(int j) { return "data set " + std::to_string(j + 1); }

void CheckDataRow(RefusalList& refusals, std::size_t line, const DataRow& row,
                  const std::string& leadHint = "") {
  refusals.CheckWidth(line, "the lead number", row.lead, kDataLeadWidth, leadHint);
  refusals.CheckWidth(line, "the label", row.label, kLabelWidth);
  for (std::size_t j = 0; j < row.values.size(); ++j) {
    const std::string dataSet = DataSetName(int(j));
    refusals.CheckWidth(line, "the value of " + dataSet, row.values[j].first, kDataValueWidth);
    refusals.CheckWidth(line, "the colour of " + dataSet, row.values[j].second, kColorNameWidth);
  }
}

bool IsWholeNumber(std::string_view word) {
  if (!word.empty() && (word[0] == '-' || word[0] == '+')) word.remove_prefix(1);
  return !word.empty() && word.find_first_not_of("0123456789") == std::string_view::npos;
}

// The first word of `text` and the trimmed rest after it.
std::pair<std::string, std::string> FirstWord(std::string_view text) {
  std::size_t end = 0;
  while (end < text.size() && static_cast<unsigned char>(text[end]) > 32) ++end;
  return {std::string(text.substr(0, end)), Trim(text.substr(end))};
}

void CheckDataSetNumberWord(RefusalList& refusals, std::size_t line, const PropertyRow& row) {
  if (row.dataSet.size() <= std::size_t(kDataSetNumberWidth)) return;
  refusals.Add(line, "the data-set number " + Excerpt(row.dataSet) + " is over " +
                         std::to_string(kDataSetNumberWidth) +
                         " characters (a title or colour that starts with a number follows "
                         "its data-set number: " +
                         UpperCase(row.keyword) + " 1 " + Excerpt(row.dataSet) + " ...)");
}

PropertyRow PropertyRowFromWords(std::string_view line) {
  auto [keyword, rest] = FirstWord(line);
  PropertyRow row{.lead = "1", .dataSet = "1", .keyword = keyword, .value = rest};
  if (keywords::TakesDataSet(UpperCase(keyword))) {
    auto [number, value] = FirstWord(rest);
    if (IsWholeNumber(number)) {
      row.dataSet = number;
      row.value = value;
    }
  }
  return row;
}

// A CSV field as the chart reads it: blanks and control characters at both ends do not count.
std::string CsvField(const CsvRecord& record, std::optional<std::size_t> i) {
  return i && *i < record.fields.size() ? Trim(record.fields[*i]) : std::string();
}

std::string DataSetCount(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " data set" : " data sets");
}

std::string DataSetName(const CsvColumns& columns, std::size_t j) {
  const std::string& name = columns.dataSets[j].name;
  return DataSetName(int(j)) + (name.empty() ? "" : " (" + Excerpt(name) + ")");
}

std::string ColumnsHint(const CsvColumns& columns) {
  std::string hint = ": the columns are " + DescribeColumns(columns);
  if (columns.header.empty()) {
    hint += " (for a CSV of values only, name the columns in a header row and give --header)";
  }
  return hint;
}

// One row of a CSV, where it stands in the input and how its numbers are written.
struct CsvRow {
  const CsvRecord& record;
  DecimalMark usual;
  bool firstWithoutHeader;  // the first row of a CSV that was said to have no header
};

// The value as the program reads it in every locale ("." and no grouping); the value as it
// stands when it is none, which is refused then.
std::string CheckCsvValue(RefusalList& refusals, const CsvRow& row, const std::string& dataSet,
                          const std::string& value) {
  const std::string what = "the value of " + dataSet;
  const CsvNumber number = ReadCsvNumber(value, row.usual);
  if (value.empty()) {
    refusals.Add(row.record.line, what + " is missing");
  } else if (!number.doubt.empty()) {
    refusals.Add(row.record.line, what + " " + QuotedExcerpt(value) + " " + number.doubt);
  } else if (number.plain.empty()) {
    const char* hint =
        row.firstWithoutHeader ? " (if this row names the columns, give --header)" : "";
    refusals.Add(row.record.line, what + " " + QuotedExcerpt(value) + " is not a number" + hint);
  }
  return number.plain.empty() ? value : number.plain;
}

// A number where a colour name belongs is a value read from the wrong column.
void CheckCsvColour(RefusalList& refusals, const CsvRow& row, const CsvColumns& columns,
                    const std::string& dataSet, const std::string& colour) {
  // Colour names hold no digits; the test spares reading most colours as numbers.
  const bool hasDigit = colour.find_first_of("0123456789") != colour.npos;
  if (!hasDigit || ReadCsvNumber(colour, row.usual).plain.empty()) return;
  const std::size_t line = row.record.line;
  refusals.Add(line, "the colour of " + dataSet + " is the number " + QuotedExcerpt(colour) +
                         refusals.Once(ColumnsHint(columns)));
}

void CheckCsvFieldCount(RefusalList& refusals, const CsvRecord& record, const CsvColumns& columns) {
  if (record.fields.size() <= columns.count) return;
  const std::string form = columns.header.empty()
                               ? "a row of " + DataSetCount(columns.dataSets.size()) + " holds "
                               : "the header has ";
  refusals.Add(record.line, std::to_string(record.fields.size()) + " fields, where " + form +
                                std::to_string(columns.count) +
                                refusals.Once(ColumnsHint(columns)));
}

DataRow DataRowFromCsv(const CsvRow& csv, const CsvColumns& columns, RefusalList& refusals) {
  CheckCsvFieldCount(refusals, csv.record, columns);
  DataRow row{.lead = "1", .label = CsvField(csv.record, columns.label), .values = {}};
  for (std::size_t j = 0; j < columns.dataSets.size(); ++j) {
    const std::string name = DataSetName(columns, j);
    const std::string value = CsvField(csv.record, columns.dataSets[j].value);
    const std::string colour = CsvField(csv.record, columns.dataSets[j].colour);
    row.values.push_back({CheckCsvValue(refusals, csv, name, value), colour});
    CheckCsvColour(refusals, csv, columns, name, colour);
  }
  CheckDataRow(refusals, csv.record.line, row);
  return row;
}

// The columns' data sets by name, or by number where they have none.
std::string DataSetNames(const CsvColumns& columns) {
  std::string names;
  for (const CsvDataSetColumns& dataSet : columns.dataSets) {
    names += names.empty() ? "" : ", ";
    names += dataSet.name.empty() ? "column " + std::to_string(dataSet.value + 1)
                                  : Excerpt(dataSet.name);
  }
  return names;
}

// Why the data sets that a header names, or --columns picks, do not make a table of `dataSets`;
// empty when they do.
std::string DataSetCountProblem(const CsvColumns& columns, int dataSets, char separator) {
  const std::size_t found = columns.dataSets.size();
  if (found == std::size_t(dataSets)) return "";
  const std::string subject = columns.picked ? "--columns picks " : "the header names ";
  const std::string none =
      columns.picked ? "only the label's column" : "no value column, only the label";
  std::string problem;
  if (found == 0) {
    problem = subject + none + ", but the table is for " + DataSetCount(std::size_t(dataSets));
    if (columns.picked) problem += " (the first column it names is the label)";
  } else {
    problem = subject + DataSetCount(found) + " (" + DataSetNames(columns) +
              ") but the table is for " + std::to_string(dataSets);
    problem += found > std::size_t(keywords::kMaxDataSets)
                   ? ", and a table holds at most " + std::to_string(keywords::kMaxDataSets)
                   : ": give \"data " + std::to_string(found) + "\"";
  }
  if (found > std::size_t(dataSets) && !columns.picked) {
    problem +=
        " (a column named \"Colour\", or a name and \" colour\", is the colour column of "
        "the value column before it)";
  }
  if (separator == ',' && std::ranges::any_of(columns.header, [](const std::string& name) {
        return name.find(';') != name.npos;
      })) {
    problem += " (the columns seem to be separated by \";\": give --separator=\";\")";
  }
  return problem;
}

// The columns of a CSV: those that its first row names as a header, or without one the form of
// label, value and colour, and of them those that --columns picks. Nothing, with the refusal at
// the first row's line, when they do not make a table of `dataSets`.
std::optional<CsvColumns> CsvColumnsOf(const CsvRecord& first, int dataSets, const CsvForm& form,
                                       char separator, RefusalList& refusals) {
  std::string problem;
  CsvColumns columns;
  if (form.header) {
    columns = CsvColumnsFromHeader(first.fields, problem);
  } else if (form.columns.empty()) {
    columns = CsvColumnsWithoutHeader(dataSets);
  }
  if (problem.empty() && !form.columns.empty()) {
    columns = PickColumns(columns, form.columns, problem);
  }
  if (problem.empty()) problem = DataSetCountProblem(columns, dataSets, separator);
  if (problem.empty()) return columns;
  refusals.Add(first.line, problem);
  return std::nullopt;
}

}  // namespace

Refusals PropertyRowsFromBars(std::istream& in, const PropertySink& add) {
  Refusals result;
  RefusalList refusals(result);
  for (LineReader line(in); line.Next();) {
    if (SkippedBarLine(line.text)) continue;
    const std::vector<std::string> parts = SplitBars(line.text);
    CheckFieldCount(refusals, line.number, parts.size(), 4, "lead|data set|KEYWORD|value",
                    " (--keywords takes a value with \"|\" in it)");
    PropertyRow row{Part(parts, 0), Part(parts, 1), Part(parts, 2), Part(parts, 3)};
    row.deleted = TakeDeletedMark(row.lead);
    CheckPropertyRow(refusals, line.number, row, KeywordLineHint(line.text));
    add(row);
  }
  return result;
}

Refusals PropertyRowsFromKeywordLines(std::istream& in, const PropertySink& add) {
  Refusals result;
  RefusalList refusals(result);
  for (LineReader line(in); line.Next();) {
    std::string text = Trim(line.text);
    if (text.empty() || text[0] == '#') continue;
    const bool deleted = TakeDeletedMark(text);
    PropertyRow row = PropertyRowFromWords(text);
    row.deleted = deleted;
    CheckDataSetNumberWord(refusals, line.number, row);
    if (row.dataSet.size() <= std::size_t(kDataSetNumberWidth)) {
      CheckPropertyRow(refusals, line.number, row);
    }
    add(row);
  }
  return result;
}

Refusals DataRowsFromBars(std::istream& in, int dataSets, const DataSink& add) {
  Refusals result;
  RefusalList refusals(result);
  for (LineReader line(in); line.Next();) {
    if (SkippedBarLine(line.text)) continue;
    const std::vector<std::string> parts = SplitBars(line.text);
    DataRow row{Part(parts, 0), Part(parts, 1), {}};
    for (int j = 0; j < dataSets; ++j) {
      row.values.push_back(
          {Part(parts, 2 + 2 * std::size_t(j)), Part(parts, 3 + 2 * std::size_t(j))});
    }
    row.deleted = TakeDeletedMark(row.lead);
    CheckDataRow(refusals, line.number, row, CsvLineHint(line.text));
    add(row);
  }
  return result;
}

Refusals DataRowsFromCsv(std::istream& in, int dataSets, const CsvForm& form, const DataSink& add) {
  Refusals result;
  RefusalList refusals(result);
  CsvReader reader(in);
  const char separator = form.separator.value_or(reader.SeparatorOfFirstLine());
  reader.UseSeparator(separator);
  std::optional<CsvColumns> columns;
  CsvRecord record;
  for (std::size_t rows = 0; reader.Next(record); ++rows) {
    if (!record.error.empty()) {
      refusals.Add(record.line, record.error);
      // Without the header's columns no row can be read.
      if (form.header && !columns) return result;
      continue;
    }
    if (!columns) {
      columns = CsvColumnsOf(record, dataSets, form, separator, refusals);
      if (!columns) return result;
      if (form.header) continue;
    }
    const CsvRow row{record, DecimalMarkOf(separator), rows == 0 && !form.header};
    add(DataRowFromCsv(row, *columns, refusals));
  }
  // An input without the header it was said to start with is not an empty table.
  if (form.header && !columns) {
    refusals.Add(1, "the input is empty: with --header it starts with a header row");
  }
  return result;
}
