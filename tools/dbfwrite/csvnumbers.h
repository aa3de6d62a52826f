#pragma once
// Numbers as spreadsheets write them into CSV, in the convention of the CSV's separator: a CSV
// separated by ";" is what LibreOffice and Excel write where the comma is the decimal mark
// (Germany, France, the Netherlands...), one separated by "," where the point is. Either way a
// value may group its digits with ".", "," or blanks (no-break spaces too), and the reading
// does not depend on the locale of the run.

#include <string>
#include <string_view>

enum class DecimalMark { Point, Comma };

// The decimal mark of a CSV separated by `separator`.
DecimalMark DecimalMarkOf(char separator);

struct CsvNumber {
  std::string plain;  // the number with "." as its decimal mark and no grouping; empty if none
  std::string doubt;  // when it is none although it looks like one: why, for the message
};

// `text` (trimmed) as a number with an optional sign, digits grouped in threes or not, one
// decimal mark and an optional exponent: "41.250,50", "41 250,50", "1,250.5", "-3,5e1". Where
// one mark alone could group digits or mark decimals, `usual` decides: in a comma file "43.980"
// is 43980 and "41,250" is 41.25; in a point file "43.980" is 43.98, and "41,250" could be
// either, so it is none, with the doubt told.
CsvNumber ReadCsvNumber(std::string_view text, DecimalMark usual);
