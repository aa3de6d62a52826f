#include "textforms.h"

#include <sstream>

#include "csvrecords.h"
#include "propertyfile.h"
#include "runtime.h"

namespace {

// Refusals of one input; what fits is written, what does not is named with its line.
class RefusalList {
 public:
  explicit RefusalList(std::vector<LineRefusal>& list) : list_(list) {}

  void Add(std::size_t line, const std::string& reason) { list_.push_back({line, reason}); }

  // Refuses `text` when it is longer than its field's `width` in bytes.
  void CheckWidth(std::size_t line, const std::string& what, const std::string& text, int width) {
    if (text.size() <= std::size_t(width)) return;
    constexpr std::size_t kShown = 40;
    const std::string shown = text.size() > kShown ? text.substr(0, kShown) + "..." : text;
    Add(line, what + " is " + std::to_string(text.size()) + " bytes, its field holds " +
                  std::to_string(width) + ": \"" + ToPlainLine(shown) + "\"");
  }

 private:
  std::vector<LineRefusal>& list_;
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

void CheckPropertyRow(RefusalList& refusals, std::size_t line, const PropertyRow& row) {
  refusals.CheckWidth(line, "the lead number", row.lead, kPropertyLeadWidth);
  refusals.CheckWidth(line, "the data-set number", row.dataSet, kDataSetNumberWidth);
  refusals.CheckWidth(line, "the keyword", row.keyword, kKeywordWidth);
  refusals.CheckWidth(line, "the value", row.value, kPropertyValueWidth);
}

std::string DataSetName(int j) { return "data set " + std::to_string(j + 1); }

void CheckDataRow(RefusalList& refusals, std::size_t line, const DataRow& row) {
  refusals.CheckWidth(line, "the lead number", row.lead, kDataLeadWidth);
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
  refusals.Add(line, "the data-set number " + row.dataSet + " is over " +
                         std::to_string(kDataSetNumberWidth) +
                         " characters (a title or colour that starts with a number follows "
                         "its data-set number: " +
                         UpperCase(row.keyword) + " 1 " + row.dataSet + " ...)");
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
std::string CsvField(const CsvRecord& record, std::size_t i) {
  return i < record.fields.size() ? Trim(record.fields[i]) : std::string();
}

bool IsNumber(const std::string& text) {
  try {
    StrToFloat(text);
    return true;
  } catch (const EConvertError&) {
    return false;
  }
}

void CheckCsvValue(RefusalList& refusals, std::size_t line, int j, const std::string& value,
                   bool firstRow) {
  if (value.empty()) {
    refusals.Add(line, "the value of " + DataSetName(j) + " is missing");
  } else if (!IsNumber(value)) {
    refusals.Add(line, "the value of " + DataSetName(j) + " \"" + ToPlainLine(value) +
                           "\" is not a number" +
                           (firstRow ? " (if this row names the columns, give --header)" : ""));
  }
}

DataRow DataRowFromCsv(const CsvRecord& record, int dataSets, bool firstRow,
                       RefusalList& refusals) {
  const std::size_t most = 1 + 2 * std::size_t(dataSets);
  CheckFieldCount(refusals, record.line, record.fields.size(), most,
                  "a row of " + std::to_string(dataSets) +
                      (dataSets == 1 ? " data set" : " data sets") +
                      " (a label, then a value and a colour each)");
  DataRow row{.lead = "1", .label = CsvField(record, 0), .values = {}};
  for (int j = 0; j < dataSets; ++j) {
    const std::string value = CsvField(record, 1 + 2 * std::size_t(j));
    CheckCsvValue(refusals, record.line, j, value, firstRow);
    row.values.push_back({value, CsvField(record, 2 + 2 * std::size_t(j))});
  }
  CheckDataRow(refusals, record.line, row);
  return row;
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
    CheckPropertyRow(refusals, line.number, row);
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
    CheckDataRow(refusals, line.number, row);
    add(row);
  }
  return result;
}

Refusals DataRowsFromCsv(std::istream& in, int dataSets, bool headerRow, const DataSink& add) {
  Refusals result;
  RefusalList refusals(result);
  bool first = true;
  CsvRecord record;
  for (CsvReader reader(in); reader.Next(record);) {
    if (!record.error.empty()) {
      refusals.Add(record.line, record.error);
    } else if (!(first && headerRow)) {
      add(DataRowFromCsv(record, dataSets, first, refusals));
    }
    first = false;
  }
  return result;
}
