#include "textforms.h"

#include <algorithm>
#include <optional>
#include <set>
#include <sstream>

#include "chartoptions.h"
#include "csvcolumns.h"
#include "csvrecords.h"
#include "propertyfile.h"
#include "runtime.h"

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
  if (KeywordTakesDataSet(UpperCase(keyword))) {
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

bool IsNumber(const std::string& text) {
  try {
    StrToFloat(text);
    return true;
  } catch (const EConvertError&) {
    return false;
  }
}

// A number as the program reads it in every locale: with "." as its decimal separator, whatever
// the locale it was written in.
std::string WithDecimalPoint(std::string number) {
  std::replace(number.begin(), number.end(), LocaleDecimalSeparator(), '.');
  return number;
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

// Why `value` is not a number, as far as a hint can tell.
std::string NotANumberHint(std::string value, bool firstRowWithoutHeader) {
  if (firstRowWithoutHeader) return " (if this row names the columns, give --header)";
  std::replace(value.begin(), value.end(), ',', '.');
  return IsNumber(value) ? " (write its decimal separator as \".\")" : "";
}

// True when `value` is a number.
bool CheckCsvValue(RefusalList& refusals, std::size_t line, const std::string& dataSet,
                   const std::string& value, bool firstRowWithoutHeader) {
  if (value.empty()) {
    refusals.Add(line, "the value of " + dataSet + " is missing");
  } else if (!IsNumber(value)) {
    refusals.Add(line, "the value of " + dataSet + " " + QuotedExcerpt(value) + " is not a number" +
                           NotANumberHint(value, firstRowWithoutHeader));
  } else {
    return true;
  }
  return false;
}

// A number where a colour name belongs is a value read from the wrong column.
void CheckCsvColour(RefusalList& refusals, std::size_t line, const CsvColumns& columns,
                    const std::string& dataSet, const std::string& colour) {
  // Colour names hold no digits; the test spares the exception of a failed conversion per row.
  const bool hasDigit = colour.find_first_of("0123456789") != colour.npos;
  if (!hasDigit || !IsNumber(colour)) return;
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

DataRow DataRowFromCsv(const CsvRecord& record, const CsvColumns& columns,
                       bool firstRowWithoutHeader, RefusalList& refusals) {
  CheckCsvFieldCount(refusals, record, columns);
  DataRow row{.lead = "1", .label = CsvField(record, 0), .values = {}};
  for (std::size_t j = 0; j < columns.dataSets.size(); ++j) {
    const std::string name = DataSetName(columns, j);
    std::string value = CsvField(record, columns.dataSets[j].value);
    const std::string colour = CsvField(record, columns.dataSets[j].colour);
    if (CheckCsvValue(refusals, record.line, name, value, firstRowWithoutHeader)) {
      value = WithDecimalPoint(value);
    }
    CheckCsvColour(refusals, record.line, columns, name, colour);
    row.values.push_back({value, colour});
  }
  CheckDataRow(refusals, record.line, row);
  return row;
}

// Why the data sets that a header names do not make a table of `dataSets`; empty when they do.
std::string DataSetCountProblem(const CsvColumns& columns, int dataSets) {
  const std::size_t found = columns.dataSets.size();
  if (found == std::size_t(dataSets)) return "";
  std::string names, problem;
  for (const CsvDataSetColumns& dataSet : columns.dataSets) {
    names += (names.empty() ? "" : ", ") + Excerpt(dataSet.name);
  }
  if (found == 0) {
    problem = "the header names no value column, only the label, but the table is for " +
              DataSetCount(std::size_t(dataSets));
  } else {
    problem = "the header names " + DataSetCount(found) + " (" + names + ") but the table is for " +
              std::to_string(dataSets);
    problem += found > std::size_t(ChartOptions::kMaxDataSets)
                   ? ", and a table holds at most " + std::to_string(ChartOptions::kMaxDataSets)
                   : ": give \"data " + std::to_string(found) + "\"";
  }
  if (found > std::size_t(dataSets)) {
    problem +=
        " (a column named \"Colour\", or a name and \" colour\", is the colour column of "
        "the value column before it)";
  }
  if (std::any_of(columns.header.begin(), columns.header.end(),
                  [](const std::string& name) { return name.find(';') != name.npos; })) {
    problem += " (the columns seem to be separated by \";\": save the CSV with commas)";
  }
  return problem;
}

// The columns that the header row names, when they make a table of `dataSets`.
std::optional<CsvColumns> HeaderColumns(const CsvRecord& header, int dataSets,
                                        RefusalList& refusals) {
  std::string problem;
  CsvColumns columns = CsvColumnsFromHeader(header.fields, problem);
  if (problem.empty()) problem = DataSetCountProblem(columns, dataSets);
  if (problem.empty()) return columns;
  refusals.Add(header.line, problem);
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

Refusals DataRowsFromCsv(std::istream& in, int dataSets, bool headerRow, const DataSink& add) {
  Refusals result;
  RefusalList refusals(result);
  std::optional<CsvColumns> columns;
  if (!headerRow) columns = CsvColumnsWithoutHeader(dataSets);
  bool first = true;
  CsvRecord record;
  for (CsvReader reader(in); reader.Next(record); first = false) {
    if (!record.error.empty()) {
      refusals.Add(record.line, record.error);
    } else if (columns) {
      add(DataRowFromCsv(record, *columns, first && !headerRow, refusals));
    } else {
      columns = HeaderColumns(record, dataSets, refusals);
    }
    // Without the header's columns no row can be read.
    if (!columns) return result;
  }
  // An input without the header it was said to start with is not an empty table.
  if (!columns) refusals.Add(1, "the input is empty: with --header it starts with a header row");
  return result;
}
