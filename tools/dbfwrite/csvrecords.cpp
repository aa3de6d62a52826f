#include "csvrecords.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// How a field ended.
enum class FieldEnd { Comma, Record, Error };

class CsvCursor {
 public:
  explicit CsvCursor(std::string_view text) : text_(text) {}

  bool AtEnd() const { return pos_ >= text_.size(); }

  CsvRecord ReadRecord() {
    CsvRecord record;
    record.line = line_;
    FieldEnd end = FieldEnd::Comma;
    while (end == FieldEnd::Comma) {
      record.fields.emplace_back();
      end = ReadField(record.fields.back(), record.error);
    }
    if (end == FieldEnd::Error) SkipRestOfLine();
    return record;
  }

 private:
  FieldEnd ReadField(std::string& field, std::string& error) {
    if (!AtEnd() && text_[pos_] == '"') return ReadQuotedField(field, error);
    while (!AtEnd()) {
      const char c = text_[pos_];
      if (c == ',' || c == '\n') return EndOfField();
      if (c == '"') {
        error = "a quote inside a field that does not start with one";
        return FieldEnd::Error;
      }
      if (!(c == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n')) field += c;
      ++pos_;
    }
    return FieldEnd::Record;
  }

  FieldEnd ReadQuotedField(std::string& field, std::string& error) {
    const std::size_t opened = line_;
    for (++pos_; !AtEnd(); ++pos_) {
      const char c = text_[pos_];
      if (c == '"' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '"') {
        field += '"';
        ++pos_;
      } else if (c == '"') {
        ++pos_;
        return AfterClosingQuote(error);
      } else {
        if (c == '\n') ++line_;
        field += c;
      }
    }
    error = "the quoted field opened on line " + std::to_string(opened) + " is not closed";
    return FieldEnd::Error;
  }

  FieldEnd AfterClosingQuote(std::string& error) {
    if (AtEnd()) return FieldEnd::Record;
    if (text_.substr(pos_, 2) == "\r\n") ++pos_;
    if (text_[pos_] == ',' || text_[pos_] == '\n') return EndOfField();
    error = "text after the closing quote of a field";
    return FieldEnd::Error;
  }

  // At a comma or a line break: passes over it.
  FieldEnd EndOfField() {
    const char c = text_[pos_++];
    if (c == ',') return FieldEnd::Comma;
    ++line_;
    return FieldEnd::Record;
  }

  void SkipRestOfLine() {
    while (!AtEnd() && text_[pos_] != '\n') ++pos_;
    if (!AtEnd()) {
      ++pos_;
      ++line_;
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t line_ = 1;
};

bool IsEmptyLine(const CsvRecord& record) {
  return record.error.empty() && record.fields.size() == 1 && record.fields[0].empty();
}

}  // namespace

std::vector<CsvRecord> ParseCsv(std::string_view text) {
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  std::vector<CsvRecord> records;
  CsvCursor cursor(text);
  while (!cursor.AtEnd()) {
    CsvRecord record = cursor.ReadRecord();
    if (!IsEmptyLine(record)) records.push_back(std::move(record));
  }
  return records;
}
