#pragma once
// Records of comma-separated values as RFC 4180 writes them: fields separated by commas, records
// by line breaks (CRLF or LF); a field in double quotes may hold commas, line breaks and quotes,
// a quote written twice.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct CsvRecord {
  std::size_t line = 0;  // the line on which the record starts, from 1
  std::vector<std::string> fields;
  std::string error;  // why the record breaks the quoting rules; empty when it does not
};

// Every record of `text`; a UTF-8 byte-order mark at the start is passed over, and so are empty
// lines. A record that breaks the quoting rules carries its error and ends at its line's end.
std::vector<CsvRecord> ParseCsv(std::string_view text);
