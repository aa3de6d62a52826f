// tarvo-dbfwrite: writes the property table or the data table of the chart routine from text on
// standard input (see --help). What would not fit a field of the table is refused with its line
// and the reason, and then nothing is written.

#include <iostream>
#include <string>
#include <vector>

#include "dbfwriter.h"
#include "textforms.h"

namespace {

constexpr const char* kHelp =
    R"(usage: tarvo-dbfwrite [options] properties OUT.DBF  < text
       tarvo-dbfwrite [options] data N OUT.DBF      < text     (N data sets, 0 to 10)

Writes the property table or the data table of tarvochart from text on standard input.

Property table, one record a line, in one of two forms:
  KEYWORD [data-set number] value     with --keywords, for example:
      DATASETCOUNT 2
      CHARTSTYLE VERTBAR;1
      TOPTITLE Sales 2026
      DATASETTITLE 1 North
      DATASETCOLOR 2 navy
      NOSHOW
    The first word is the keyword, the rest of the line its value. Only DATASETTITLE and
    DATASETCOLOR read a data-set number: after them a whole number is that number (1 when
    none is given), so a title that starts with a number follows its data-set number:
    DATASETTITLE 1 2026 plan. After any other keyword the whole rest is the value
    (TOPTITLE 12 months). Blank lines and lines starting with "#" are skipped; a line starting
    with "*" becomes a deleted record.
  lead|data set|KEYWORD|value         without --keywords: every field as given, for example
      1|2|DATASETTITLE|South

Data table, one record (category) a line, in one of two forms:
  label,value,colour,value,colour...  with --csv: comma-separated values (RFC 4180: a field in
    double quotes may hold commas, line breaks and quotes written twice), one value and colour
    per data set; a colour may be left empty. With --header the first row names the columns
    and is not written. Every value must be a number as tarvochart reads it ("." or the
    decimal separator of your locale). Lead number 1.
  lead|label|value|colour|...         without --csv: every field as given, the fields of data
    sets after the N-th left out; lines starting with "#" are skipped, a lead starting with
    "*" makes a deleted record.

Refused, with the line and the reason, instead of cut: a keyword over 30 bytes, a property
value over 100, a data-set number over 2 characters, a lead number over its width (1 in the
property table, 2 in the data table), a label over 30, a value over 20, a colour over 10, more
fields than the form holds (a "|" in a property value, a CSV row of more data sets than N),
and in CSV a value that is not a number. Nothing is written then.
Texts are written as their bytes (UTF-8 letters beyond ASCII take two or more).

Options:
  --keywords    property lines as KEYWORD [data-set number] value
  --csv         data as comma-separated values
  --header      with --csv: the first row is a header
  --help        this text
For testing damaged tables: --version=N (version byte), --no-eof (no end-of-file byte),
  --count=N (record count in the header), --cut=N (bytes cut off the end), --extra=N (blanks
  added at the end).

Exit status: 0 written, 1 refused or not written, 2 wrong command line.
)";

struct Form {
  bool keywords = false;
  bool csv = false;
  bool header = false;
};

// Takes one form option; false when it is not one.
bool TakeFormOption(const std::string& option, Form& form) {
  if (option == "--keywords") {
    form.keywords = true;
  } else if (option == "--csv") {
    form.csv = true;
  } else if (option == "--header") {
    form.header = true;
  } else {
    return false;
  }
  return true;
}

// Applies one damage option to the table; false when it is not one.
bool ApplyDamageOption(const std::string& option, DbfTable& table) {
  const auto value = [&] { return std::stoul(option.substr(option.find('=') + 1)); };
  if (option.rfind("--version=", 0) == 0) {
    table.version = static_cast<std::uint8_t>(value());
  } else if (option == "--no-eof") {
    table.endOfFileMarker = false;
  } else if (option.rfind("--count=", 0) == 0) {
    table.damage.recordCount = static_cast<std::uint32_t>(value());
  } else if (option.rfind("--cut=", 0) == 0) {
    table.damage.cutBytes = value();
  } else if (option.rfind("--extra=", 0) == 0) {
    table.damage.extraBytes.assign(value(), ' ');
  } else {
    return false;
  }
  return true;
}

int Usage(const std::string& problem) {
  std::cerr << "tarvo-dbfwrite: " << problem << "\n"
            << "usage: tarvo-dbfwrite [options] properties OUT.DBF | data N OUT.DBF  < text; "
               "--help tells more\n";
  return 2;
}

// Tells every refused line; true when there was one.
template <class Rows>
bool Refused(const Rows& rows) {
  for (const LineRefusal& refusal : rows.refusals) {
    std::cerr << "tarvo-dbfwrite: line " << refusal.line << ": " << refusal.reason << "\n";
  }
  if (!rows.refusals.empty()) std::cerr << "tarvo-dbfwrite: nothing written\n";
  return !rows.refusals.empty();
}

int DataSetCountOf(const std::string& text) {
  constexpr int kMostDataSets = 10;
  if (text.empty() || text.size() > 2 || text.find_first_not_of("0123456789") != text.npos) {
    return -1;
  }
  const int count = std::stoi(text);
  return count <= kMostDataSets ? count : -1;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::vector<std::string> damage;
  Form form;
  while (!args.empty() && args.front().rfind("--", 0) == 0) {
    if (args.front() == "--help") {
      std::cout << kHelp;
      return 0;
    }
    if (!TakeFormOption(args.front(), form)) damage.push_back(args.front());
    args.erase(args.begin());
  }
  const bool properties = args.size() == 2 && args[0] == "properties";
  const bool data = args.size() == 3 && args[0] == "data";
  if (!properties && !data) return Usage("name the table to write");
  if (form.csv && !data) return Usage("--csv is for the data table");
  if (form.keywords && !properties) return Usage("--keywords is for the property table");
  if (form.header && !form.csv) return Usage("--header goes with --csv");
  const int dataSets = data ? DataSetCountOf(args[1]) : 0;
  if (dataSets < 0) return Usage("the number of data sets is a whole number from 0 to 10");
  try {
    DbfTable table;
    if (properties) {
      const PropertyRows rows =
          form.keywords ? PropertyRowsFromKeywordLines(std::cin) : PropertyRowsFromBars(std::cin);
      if (Refused(rows)) return 1;
      table = PropertyTable(rows.rows);
    } else {
      const DataRows rows = form.csv ? DataRowsFromCsv(std::cin, dataSets, form.header)
                                     : DataRowsFromBars(std::cin, dataSets);
      if (Refused(rows)) return 1;
      table = DataTable(dataSets, rows.rows);
    }
    for (const std::string& option : damage) {
      if (!ApplyDamageOption(option, table)) return Usage("unknown option " + option);
    }
    WriteDbf(args.back(), table);
  } catch (const std::exception& error) {
    std::cerr << "tarvo-dbfwrite: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
