// tarvo-dbfwrite: writes the property table or the data table of the chart routine from text on
// standard input (see --help). What would not fit a field of the table is refused with its line
// and the reason, and then nothing is written.

#include <charconv>
#include <csignal>
#include <cstdint>
#include <iostream>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "dbfwrite/csvcolumns.h"
#include "dbfwrite/dbfwriter.h"
#include "dbfwrite/textforms.h"
#include "keywords/keywordtable.h"
#include "runtime/inputstream.h"
#include "runtime/signalcleanup.h"
#include "runtime/standardoutput.h"

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
    per data set; a colour may be left empty. Lead number 1.
    Fields separated by ";" are read as well, as spreadsheets write them where the comma is the
    decimal mark: the first row tells (";" where it holds at least as many semicolons as commas
    outside quotes), or --separator chooses. Numbers as spreadsheets write them, whatever the
    locale: in a ";" file the comma is the decimal mark and "." groups digits (41.250,50); in a
    "," file the point (1,250.5, or "1250,5" quoted). Blanks and no-break spaces group digits
    too (41 250,50). A lone comma before three digits in a "," file ("41,250") could mean
    either and is refused.
    With --header the first row names the columns and is not written. The first column is the
    label. A column named Colour or Color (any letter case, blanks around it not counting,
    also after a name and a blank, "_" or "-": "North colour"), or with no name, is the colour
    column of the value column right before it. Every other column is a value column, one data
    set each, in their order; a data set without a colour column gets no colours. So both
      Quarter,Widgets,Gadgets          and     Quarter,2025,Colour,2026,Colour
    are headers of 2 data sets, and the number of value columns must be N.
    --columns LIST picks columns: by the header's name or by number from 1, separated by ","
    or ";" ("Month,Sales 2026" or 1,4); the first named is the label, every other a data set,
    which brings its colour column along. So a pie of one column of a wide sheet needs no
    rewritten file.
    A row may leave out fields at its end (they count as empty, so a value left out is
    missing); a row of more fields than the columns is refused. Every value must be a number
    (as above); it is written with "." and without grouping, so that the table reads the same
    in every locale. A colour that is a number is refused: a value has landed in a colour
    column.
  lead|label|value|colour|...         without --csv: every field as given, the fields of data
    sets after the N-th left out; lines starting with "#" are skipped, a lead starting with
    "*" makes a deleted record.

Refused, with the line and the reason, instead of cut: a keyword over 30 bytes, a property
value over 100, a data-set number over 2 characters, a lead number over its width (1 in the
property table, 2 in the data table), a label over 30, a value over 20, a colour over 10, more
fields than the form holds (a "|" in a property value, a CSV row of more data sets than N),
and in CSV a value that is not a number, a colour that is a number, and a header whose value
columns are not N. Nothing is written then.
Texts are written as their bytes (UTF-8 letters beyond ASCII take two or more). Text in
Windows-1252 or Latin-1 keeps its bytes as well and shows right: the program shows text as
UTF-8 where it is valid UTF-8, else as Windows-1252.

Options:
  --keywords    property lines as KEYWORD [data-set number] value
  --csv         data as comma-separated values
  --header      with --csv: the first row is a header
  --separator S with --csv: "," or ";" (or comma, semicolon) separates the fields
  --columns L   with --csv: write only the columns L names (see above)
  --help        this text
  --version     the version of tarvo-dbfwrite (--version=N is not this: see below)
For testing damaged tables: --version=N (version byte, 0 to 255), --no-eof (no end-of-file
  byte), --count=N (record count in the header), --cut=N (bytes cut off the end), --extra=N
  (blanks added at the end, up to 1048576).

The table is written atomically: it appears complete or not at all, and an existing table of
that name stays as it was when the input is refused, cannot be read to its end (a folder or
a closed standard input, a read error), or the write fails (a full disk, the file-size limit,
a read-only or missing folder: the message gives the system's reason), and when the tool is
interrupted (SIGINT, SIGTERM, SIGHUP; where the file system allows, SIGKILL too). A name that
is there but is not a regular file (a folder, a device, a FIFO) is refused.

Exit status: 0 written, 1 refused or not written, 2 wrong command line, 3 standard output
could not take the text of --help or --version.

The manual page: man tarvo-dbfwrite once installed; before, in the source folder:
man -l tools/dbfwrite/tarvo-dbfwrite.1
)";

struct Form {
  bool keywords = false;
  bool csv = false;
  CsvForm csvForm;
  std::optional<std::string> columns;  // the list that --columns gives
};

// The value of `option` when it is `name`, given as "NAME=VALUE" or as "NAME VALUE" (then taken
// from the front of `args`); nothing when it is another option.
std::optional<std::string> OptionValue(const std::string& option, std::string_view name,
                                       std::vector<std::string>& args) {
  if (option.starts_with(std::string(name) + "=")) return option.substr(name.size() + 1);
  if (option != name) return std::nullopt;
  if (args.empty()) return "";
  std::string value = args.front();
  args.erase(args.begin());
  return value;
}

std::optional<char> SeparatorNamed(const std::string& name) {
  if (name == "," || name == "comma") return ',';
  if (name == ";" || name == "semicolon") return ';';
  return std::nullopt;
}

// Takes `option`, and its value from `args` where it has one, when it is a form option; false
// when it is none. `problem` tells a value that is not one it takes.
bool TakeFormOption(const std::string& option, std::vector<std::string>& args, Form& form,
                    std::string& problem) {
  if (option == "--keywords") {
    form.keywords = true;
  } else if (option == "--csv") {
    form.csv = true;
  } else if (option == "--header") {
    form.csvForm.header = true;
  } else if (const auto name = OptionValue(option, "--separator", args)) {
    form.csvForm.separator = SeparatorNamed(*name);
    if (!form.csvForm.separator) problem = "--separator takes \",\" or \";\" (comma, semicolon)";
  } else if (const auto list = OptionValue(option, "--columns", args)) {
    form.columns = list;
  } else {
    return false;
  }
  return true;
}

// Why the form options do not go together; empty when they do.
std::string FormProblem(Form& form, bool data) {
  const CsvForm& csv = form.csvForm;
  if (form.csv && !data) return "--csv is for the data table";
  if (form.keywords && data) return "--keywords is for the property table";
  if (!form.csv && (csv.header || csv.separator || form.columns)) {
    return "--header, --separator and --columns go with --csv";
  }
  if (!form.columns) return "";
  form.csvForm.columns = ColumnList(*form.columns);
  return ColumnListProblem(csv.columns, csv.header);
}

// The most blanks that --extra adds.
constexpr std::uint64_t kMostExtraBytes = 1 << 20;

// The whole number after "=" in `option`, from 0 to `most`; nothing when it is not one.
std::optional<std::uint64_t> OptionNumber(const std::string& option, std::uint64_t most) {
  const std::string text = option.substr(option.find('=') + 1);
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value > most) {
    return std::nullopt;
  }
  return value;
}

bool StartsWith(const std::string& text, const char* start) { return text.rfind(start, 0) == 0; }

// An option that damages the table on purpose, with the number it takes.
struct DamageOption {
  const char* name;
  std::uint64_t most;
  void (*apply)(DbfTable& form, std::uint64_t value);
};

const DamageOption kDamageOptions[] = {
    {"--version=", 255, [](DbfTable& form, std::uint64_t v) { form.version = std::uint8_t(v); }},
    {"--count=", 4294967295,
     [](DbfTable& form, std::uint64_t v) { form.damage.recordCount = std::uint32_t(v); }},
    {"--cut=", std::numeric_limits<std::uint64_t>::max(),
     [](DbfTable& form, std::uint64_t v) { form.damage.cutBytes = v; }},
    {"--extra=", kMostExtraBytes,
     [](DbfTable& form, std::uint64_t v) { form.damage.extraBytes.assign(v, ' '); }},
};

// Applies one damage option to the table's form; false with `problem` set when it is none, or
// its number is not one it takes.
bool ApplyDamageOption(const std::string& option, DbfTable& form, std::string& problem) {
  if (option == "--no-eof") {
    form.endOfFileMarker = false;
    return true;
  }
  for (const DamageOption& known : kDamageOptions) {
    if (!StartsWith(option, known.name)) continue;
    const auto value = OptionNumber(option, known.most);
    if (!value) {
      problem = option + ": give a whole number from 0 to " + std::to_string(known.most);
      return false;
    }
    known.apply(form, *value);
    return true;
  }
  problem = "unknown option " + option;
  return false;
}

int Usage(const std::string& problem) {
  std::cerr << "tarvo-dbfwrite: " << problem << "\n"
            << "usage: tarvo-dbfwrite [options] properties OUT.DBF | data N OUT.DBF  < text; "
               "--help tells more\n";
  return 2;
}

// Tells every refused line; true when there was one.
bool Refused(const Refusals& refusals) {
  for (const LineRefusal& refusal : refusals) {
    std::cerr << "tarvo-dbfwrite: line " << refusal.line << ": " << refusal.reason << "\n";
  }
  if (!refusals.empty()) std::cerr << "tarvo-dbfwrite: nothing written\n";
  return !refusals.empty();
}

int DataSetCountOf(const std::string& text) {
  if (text.empty() || text.size() > 2 || text.find_first_not_of("0123456789") != text.npos) {
    return -1;
  }
  const int count = std::stoi(text);
  return count <= keywords::kMaxDataSets ? count : -1;
}

// What the command line asks for.
struct Request {
  Form form;
  bool properties = false;
  int dataSets = 0;
  std::string path;
  DbfTable table;  // the form of the table: everything but its records
};

// Reads the rows from `in` into the writer; the lines refused. Throws ReadError where the input
// cannot be read to its end.
Refusals ReadRows(const Request& request, std::istream& in, DbfFileWriter& writer) {
  const auto addProperty = [&](const PropertyRow& row) { writer.Add(RecordOf(row)); };
  const auto addData = [&](const DataRow& row) { writer.Add(RecordOf(row)); };
  const Form& form = request.form;
  if (request.properties) {
    return form.keywords ? PropertyRowsFromKeywordLines(in, addProperty)
                         : PropertyRowsFromBars(in, addProperty);
  }
  return form.csv ? DataRowsFromCsv(in, request.dataSets, form.csvForm, addData)
                  : DataRowsFromBars(in, request.dataSets, addData);
}

int Write(const Request& request) {
  try {
    const auto input = InputStream::StandardInput();
    DbfFileWriter writer(request.path, request.table);
    if (Refused(ReadRows(request, *input, writer))) return 1;
    writer.Commit();
  } catch (const ReadError& error) {
    // A table cut where the input failed would pass for the whole one.
    std::cerr << "tarvo-dbfwrite: " << error.Text() << "\ntarvo-dbfwrite: nothing written\n";
    return 1;
  } catch (const FileError& error) {
    std::cerr << "tarvo-dbfwrite: cannot write " << request.path << ": " << error.Text() << "\n";
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  KeepStandardStreamsOpen();
  RemoveTemporariesOnSignals();
  // A table may pass the file-size limit: that is a failed write with its reason, not the end.
  std::signal(SIGXFSZ, SIG_IGN);
  std::ios::sync_with_stdio(false);
  std::vector<std::string> args(argv + 1, argv + argc);
  std::vector<std::string> damage;
  Request request;
  while (!args.empty() && StartsWith(args.front(), "--")) {
    if (args.front() == "--help" || args.front() == "--version") {
      const char* text = args.front() == "--help" ? kHelp : "tarvo-dbfwrite " TARVO_VERSION "\n";
      return WriteStandardOutput(text, "tarvo-dbfwrite") ? 0 : kOutputLost;
    }
    const std::string option = args.front();
    args.erase(args.begin());
    std::string problem;
    if (!TakeFormOption(option, args, request.form, problem)) damage.push_back(option);
    if (!problem.empty()) return Usage(problem);
  }
  request.properties = args.size() == 2 && args[0] == "properties";
  const bool data = args.size() == 3 && args[0] == "data";
  if (!request.properties && !data) return Usage("name the table to write");
  const std::string formProblem = FormProblem(request.form, data);
  if (!formProblem.empty()) return Usage(formProblem);
  request.dataSets = data ? DataSetCountOf(args[1]) : 0;
  if (request.dataSets < 0) return Usage("the number of data sets is a whole number from 0 to 10");
  request.table = request.properties ? PropertyTable({}) : DataTable(request.dataSets, {});
  for (const std::string& option : damage) {
    std::string problem;
    if (!ApplyDamageOption(option, request.table, problem)) return Usage(problem);
  }
  request.path = args.back();
  return Write(request);
}
