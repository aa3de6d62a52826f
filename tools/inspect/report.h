#pragma once
// How the checker writes what it finds: table texts on one plain line, colours, numbers, and
// which records of a long table are shown.

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "chart/model/color.h"
#include "properties/printsettings.h"

// A text from a table in double quotes, as one line of plain UTF-8 (control bytes as \xNN).
std::string Quoted(std::string_view text);

// A byte as 0xNN.
std::string HexByte(std::uint8_t byte);

// A colour value as #RRGGBB.
std::string HexColor(chart::Color color);

// A colour name as the table gives it, and what it names: its colour, or that it names none.
std::string ColorNameText(const std::string& name, const std::string& otherwise);

// A value as the program holds it: the shortest form that reads back the same, "." as the
// decimal separator.
std::string NumberText(double value);

// A page text: its text, position, font and style.
std::string PageTextText(const PageTextItem& item);

// The four print margins in percent.
std::string MarginsText(const PrintSettings& print);

// The warnings of one report: each written where it concerns, all counted for the verdict.
class Warnings {
 public:
  // "warning: " and `text`, counted.
  std::string Mark(const std::string& text);
  // Counts the warnings of records that are not shown.
  void CountUnshown(int count) { count_ += count; }
  int Count() const { return count_; }

  // Why `name` leaves a colour as it is (`keeps` tells which), with the nearest colour names;
  // where none is near, the names are listed at the end of the report.
  std::string UnknownColor(const std::string& name, std::string_view keeps);
  // The colour names, when an unknown one had none near it.
  void WriteColorNames(std::ostream& out) const;

 private:
  int count_ = 0;
  bool colorNamesAsked_ = false;
};

// True when `name` is one of the colour names, in any letter case.
bool IsColorName(const std::string& name);

// The first and last records of a long table, and one line for those between; every record when
// asked for all of them.
class RecordWindow {
 public:
  RecordWindow(std::uint64_t count, bool all);

  bool Shows(std::uint64_t number) const;
  // Counts a record that is not shown; `notable` when it is one that the reader should know of,
  // with the warnings it gave.
  void PassOver(bool notable, int warnings = 0);
  // The line for the records passed over since the last one shown, if there are any.
  void WriteGap(std::ostream& out, std::string_view notableWhat);

 private:
  std::uint64_t head_;
  std::uint64_t tailFirst_;
  std::uint64_t passed_ = 0;
  std::uint64_t notable_ = 0;
  std::uint64_t warnings_ = 0;
};
