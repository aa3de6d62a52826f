#pragma once
// The property table's keywords as its format has them: their names, in the order in which a
// record's keyword is tried, which of them read the record's data-set number, and the limits a
// table is read with. What each keyword does to the chart and the window is properties/' part.

#include <array>
#include <string_view>

namespace keywords {

inline constexpr int kMaxDataSets = 10;   // data sets a data table may hold
inline constexpr int kMaxPageTexts = 10;  // page texts a printed page takes

// A keyword and whether it reads the record's data-set number.
struct KeywordName {
  std::string_view name;
  bool takesDataSet = false;
};

// Tried in this order; the first equal keyword acts.
inline constexpr std::array<KeywordName, 17> kKeywordNames = {{
    {"PRINTPAGETEXT"},
    {"CHARTSTYLE"},
    {"DATALABELS"},
    {"PRINTPOS"},
    {"PRINT"},
    {"PRINTSETUP"},
    {"DATASETCOUNT"},
    {"NOSHOW"},
    {"BITMAPFILE"},
    {"2D"},
    {"NO3DCHECKBOX"},
    {"NOPRINTBUTTON"},
    {"TOPTITLE"},
    {"LEFTAXISTITLE"},
    {"BOTTOMAXISTITLE"},
    {"DATASETTITLE", true},
    {"DATASETCOLOR", true},
}};

// The keyword names alone, in the order in which they are tried.
std::array<std::string_view, kKeywordNames.size()> KeywordNames();

// True for the keywords that read the record's data-set number ("DATASETTITLE",
// "DATASETCOLOR"); the keyword as a record is compared (trimmed, upper case).
bool TakesDataSet(std::string_view keyword);

}  // namespace keywords
