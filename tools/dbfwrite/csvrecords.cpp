#include "dbfwrite/csvrecords.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// The input is read in pieces of this size.
constexpr std::size_t kPiece = 1 << 16;
// How far the separator of the first line is looked for.
constexpr std::size_t kSeparatorLookAhead = 1 << 16;

bool IsEmptyLine(const CsvRecord& record) {
  return record.error.empty() && record.fields.size() == 1 && record.fields[0].empty();
}

}  // namespace

CsvReader::CsvReader(std::istream& in) : in_(in) {
  if (Peek(0) == 0xEF && Peek(1) == 0xBB && Peek(2) == 0xBF) Skip(kByteOrderMark.size());
}

bool CsvReader::Next(CsvRecord& record) {
  while (!AtEnd()) {
    ReadRecord(record);
    if (!IsEmptyLine(record)) return true;
  }
  return false;
}

char CsvReader::SeparatorOfFirstLine() {
  std::size_t semicolons = 0, commas = 0;
  bool quoted = false, lineBegun = false;  // empty lines before the first are passed over
  for (std::size_t ahead = 0; ahead < kSeparatorLookAhead; ++ahead) {
    const int c = Peek(ahead);
    if (c < 0 || (c == '\n' && !quoted && lineBegun)) break;
    lineBegun = lineBegun || (c != '\n' && c != '\r');
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == ';') ++semicolons;
    if (c == ',') ++commas;
  }
  return semicolons > 0 && semicolons >= commas ? ';' : ',';
}

bool CsvReader::AtEnd() { return Peek() < 0; }

int CsvReader::Peek(std::size_t ahead) {
  while (pos_ + ahead >= buffer_.size() && in_) {
    buffer_.erase(0, pos_);
    pos_ = 0;
    const std::size_t had = buffer_.size();
    buffer_.resize(had + kPiece);
    in_.read(buffer_.data() + had, std::streamsize(kPiece));
    buffer_.resize(had + std::size_t(in_.gcount()));
  }
  if (pos_ + ahead >= buffer_.size()) return -1;
  return static_cast<unsigned char>(buffer_[pos_ + ahead]);
}

void CsvReader::Skip(std::size_t count) { pos_ += count; }

void CsvReader::ReadRecord(CsvRecord& record) {
  record = CsvRecord{line_, {}, {}};
  FieldEnd end = FieldEnd::Separator;
  while (end == FieldEnd::Separator) {
    record.fields.emplace_back();
    end = ReadField(record.fields.back(), record.error);
  }
  if (end == FieldEnd::Error) SkipRestOfLine();
}

CsvReader::FieldEnd CsvReader::ReadField(std::string& field, std::string& error) {
  if (Peek() == '"') return ReadQuotedField(field, error);
  for (int c = Peek(); c >= 0; c = Peek()) {
    if (c == separator_ || c == '\n') return EndOfField();
    if (c == '"') {
      error = "a quote inside a field that does not start with one";
      return FieldEnd::Error;
    }
    if (!(c == '\r' && Peek(1) == '\n')) field += char(c);
    Skip();
  }
  return FieldEnd::Record;
}

CsvReader::FieldEnd CsvReader::ReadQuotedField(std::string& field, std::string& error) {
  const std::size_t opened = line_;
  Skip();
  for (int c = Peek(); c >= 0; c = Peek()) {
    Skip();
    if (c == '"' && Peek() == '"') {
      field += '"';
      Skip();
    } else if (c == '"') {
      return AfterClosingQuote(error);
    } else {
      if (c == '\n') ++line_;
      field += char(c);
    }
  }
  error = "the quoted field opened on line " + std::to_string(opened) + " is not closed";
  return FieldEnd::Error;
}

CsvReader::FieldEnd CsvReader::AfterClosingQuote(std::string& error) {
  if (AtEnd()) return FieldEnd::Record;
  if (Peek() == '\r' && Peek(1) == '\n') Skip();
  if (Peek() == separator_ || Peek() == '\n') return EndOfField();
  error = "text after the closing quote of a field";
  return FieldEnd::Error;
}

// At a separator or a line break: passes over it.
CsvReader::FieldEnd CsvReader::EndOfField() {
  const int c = Peek();
  Skip();
  if (c == separator_) return FieldEnd::Separator;
  ++line_;
  return FieldEnd::Record;
}

void CsvReader::SkipRestOfLine() {
  while (!AtEnd() && Peek() != '\n') Skip();
  if (!AtEnd()) {
    Skip();
    ++line_;
  }
}
