#pragma once
// Records of comma-separated values as RFC 4180 writes them: fields separated by commas (or
// another separator, such as the ";" of spreadsheets where the comma is the decimal mark),
// records by line breaks (CRLF or LF); a field in double quotes may hold separators, line breaks
// and quotes, a quote written twice.

#include <cstddef>
#include <istream>
#include <string>
#include <vector>

struct CsvRecord {
  std::size_t line = 0;  // the line on which the record starts, from 1
  std::vector<std::string> fields;
  std::string error;  // why the record breaks the quoting rules; empty when it does not
};

// Reads the records of a stream one at a time, so that an input of any length takes little
// memory. A UTF-8 byte-order mark at the start is passed over, and so are empty lines. A record
// that breaks the quoting rules carries its error and ends at its line's end.
class CsvReader {
 public:
  explicit CsvReader(std::istream& in);

  // The next record; false at the end of the input.
  bool Next(CsvRecord& record);

  // The separator of the first line, read ahead without taking it: ";" where the line holds at
  // least as many semicolons as commas outside quotes, and one at least; else ",".
  char SeparatorOfFirstLine();
  void UseSeparator(char separator) { separator_ = separator; }

 private:
  enum class FieldEnd { Separator, Record, Error };

  bool AtEnd();
  // The byte `ahead` places from the current one; -1 past the end of the input.
  int Peek(std::size_t ahead = 0);
  void Skip(std::size_t count = 1);

  void ReadRecord(CsvRecord& record);
  FieldEnd ReadField(std::string& field, std::string& error);
  FieldEnd ReadQuotedField(std::string& field, std::string& error);
  FieldEnd AfterClosingQuote(std::string& error);
  FieldEnd EndOfField();
  void SkipRestOfLine();

  std::istream& in_;
  std::string buffer_;
  std::size_t pos_ = 0;
  std::size_t line_ = 1;
  char separator_ = ',';
};
