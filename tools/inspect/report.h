#pragma once
// How the checker writes what it finds: table texts on one plain line, colours, numbers, and
// which records of a long table are shown.

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "chart/tcolor.h"
#include "printsettings.h"

// A text from a table in double quotes, as one line of plain UTF-8 (control bytes as \xNN).
std::string Quoted(std::string_view text);

// A colour value as #RRGGBB.
std::string HexColor(chart::TColor color);

// A colour name as the table gives it, and what it names: its colour, or that it names none.
std::string ColorNameText(const std::string& name, const std::string& otherwise);

// A value as the program holds it: the shortest form that reads back the same, "." as the
// decimal separator.
std::string NumberText(double value);

// A page text: its text, position, font and style.
std::string PageTextText(const PageTextItem& item);

// The four print margins in percent.
std::string MarginsText(const PrintSettings& print);

// The first and last records of a long table, and one line for those between; every record when
// asked for all of them.
class RecordWindow {
 public:
  RecordWindow(std::uint64_t count, bool all);

  bool Shows(std::uint64_t number) const;
  // Counts a record that is not shown; `notable` when it is one that the reader should know of.
  void PassOver(bool notable);
  // The line for the records passed over since the last one shown, if there are any.
  void WriteGap(std::ostream& out, std::string_view notableWhat);

 private:
  std::uint64_t head_;
  std::uint64_t tailFirst_;
  std::uint64_t passed_ = 0;
  std::uint64_t firstPassed_ = 0;
  std::uint64_t notable_ = 0;
};
