#include <algorithm>
#include <filesystem>

#include "keywords/keywordtable.h"
#include "dbf/dbffile.h"
#include "dbf/recordlayout.h"
#include "inspect/report.h"
#include "inspect/sections.h"
#include "inspect/tablehints.h"
#include "properties/propertyfile.h"

namespace {

// Why a table could not be opened, as far as the file system tells.
std::string WhyNotOpened(const std::string& name) {
  std::error_code error;
  const auto status = std::filesystem::status(name, error);
  if (name.empty()) return "the name is empty";
  if (!std::filesystem::exists(status)) return "there is no such file";
  if (!std::filesystem::is_regular_file(status)) {
    return "it is not a file (a folder, a FIFO or a device)";
  }
  return "it cannot be read (no permission, or another program holds it locked for writing)";
}

std::string VersionName(std::uint8_t version) {
  switch (version) {
    case 0x03:
      return "dBASE";
    case 0x30:
      return "Visual FoxPro";
    case 0xF5:
      return "FoxPro with memo";
    default:
      return MemoAdvice(version).empty()
                 ? "a version the program does not read; it reads 0x03 dBASE, 0x30 Visual "
                   "FoxPro and 0xF5 FoxPro with memo"
                 : MemoAdvice(version);
  }
}

// What the header says of the records against the file's size.
std::string SizeText(const DbfFile& table) {
  const std::int64_t end = std::int64_t{table.headerLength} +
                           std::int64_t{table.recordCount} * std::int64_t{table.recordLength};
  std::string text =
      "header " + std::to_string(table.headerLength) + " bytes, then " +
      std::to_string(table.recordCount) + (table.recordCount == 1 ? " record" : " records") +
      " of " + std::to_string(table.recordLength) + " bytes up to byte " + std::to_string(end) +
      "; the file has " + std::to_string(table.fileSize) + " bytes";
  if (table.IsConsistent()) return text + ": the size agrees with the header";
  if (table.recordLength == 0) return text + ": a record length of 0 is refused";
  const std::int64_t surplus = table.fileSize - end;
  return text + ": the size DISAGREES with the header (" +
         (surplus < 0
              ? "the file ends " + std::to_string(-surplus) + " bytes before its last record"
              : std::to_string(surplus) + " bytes follow the last record") +
         ")";
}

struct TableInQuestion {
  const char* role;
  const std::string& name;
  const DbfFile& file;
};

// How far the checks went: opening, versions, sizes, each on both tables before the next.
enum class Reached { Opening, Versions, Sizes };

Reached CheckReached(const Refusal* refusal) {
  if (!refusal) return Reached::Sizes;
  switch (refusal->check) {
    case RefusedBy::Opening:
      return Reached::Opening;
    case RefusedBy::Version:
      return Reached::Versions;
    default:
      return Reached::Sizes;
  }
}

void ReportTable(const TableInQuestion& table, Reached reached, std::ostream& out) {
  out << "  " << table.role << " " << Quoted(table.name) << "\n";
  if (!table.file.IsOpen()) {
    out << "    cannot be opened: " << WhyNotOpened(table.name) << "\n";
    return;
  }
  if (reached == Reached::Opening) {
    out << "    opened\n";
    return;
  }
  out << "    version " << HexByte(table.file.version) << " (" << VersionName(table.file.version)
      << ")\n";
  if (reached == Reached::Versions) return;
  out << "    " << SizeText(table.file) << "\n";
}

// Only the first records are looked at for a live one: a table is told by its first record.
constexpr std::uint32_t kRecordsLookedAt = 20;

// The keyword in the first live record, if it holds one where a property record has it.
std::string FirstKeyword(const DbfFile& table) {
  const std::uint32_t last = std::min(table.recordCount, kRecordsLookedAt);
  for (std::uint32_t n = 1; n <= last; ++n) {
    if (!table.IsActive(n)) continue;
    const std::string keyword = UpperCase(PropertyFieldsOf(table.RecordText(n)).keyword);
    const auto known = keywords::KeywordNames();
    return std::ranges::find(known, keyword) != known.end() ? keyword : "";
  }
  return "";
}

// Records of a length that data records of 1 to 10 data sets have.
bool HasDataRecordLength(const DbfFile& table) {
  for (int dataSets = 1; dataSets <= ChartOptions::kMaxDataSets; ++dataSets) {
    if (data_record::TextLength(dataSets) + 1 == table.recordLength) return true;
  }
  return false;
}

std::string LooksLikeProperties(const DbfFile& table, const std::string& keyword) {
  return Quoted(table.FileName()) + " holds property records (its first holds the keyword " +
         keyword + ")";
}

std::string LooksLikeData(const DbfFile& table) {
  return Quoted(table.FileName()) + " holds data records (records of " +
         std::to_string(table.recordLength) + " bytes, no keyword in the first)";
}

// A table given in the other's place, told by its record length and its first record.
std::string SwapWarning(const DbfFile& propertyFile, const DbfFile& dataFile) {
  const std::string dataKeyword = FirstKeyword(dataFile);
  const bool propertiesLookLikeData = HasDataRecordLength(propertyFile) &&
                                      propertyFile.recordCount > 0 &&
                                      FirstKeyword(propertyFile).empty();
  if (!dataKeyword.empty() && propertiesLookLikeData) {
    return "the tables look swapped: the property table " + LooksLikeData(propertyFile) +
           " and the data table " + LooksLikeProperties(dataFile, dataKeyword) +
           ": give the property table first";
  }
  if (!dataKeyword.empty()) {
    return "the data table " + LooksLikeProperties(dataFile, dataKeyword) +
           ": give the property table first, the data table second";
  }
  if (propertiesLookLikeData) {
    return "the property table " + LooksLikeData(propertyFile) +
           ": give the property table first, the data table second";
  }
  return "";
}

}  // namespace

void ReportTableChecks(const DbfFile& propertyFile, const std::string& propertyName,
                       const DbfFile& dataFile, const std::string& dataName, const Refusal* refusal,
                       Warnings& warnings, std::ostream& out) {
  out << "Tables, checked in the program's order (the data table first)\n";
  const TableInQuestion tables[2] = {{"data table", dataName, dataFile},
                                     {"property table", propertyName, propertyFile}};
  for (const auto& table : tables) ReportTable(table, CheckReached(refusal), out);
  if (refusal) return;
  out << "  Both tables pass.\n";
  const std::string swapped = SwapWarning(propertyFile, dataFile);
  if (!swapped.empty()) {
    out << "  " << warnings.Mark(swapped) << "\n";
    return;
  }
  for (const auto& [table, kind] :
       {std::pair{&propertyFile, TableKind::Properties}, std::pair{&dataFile, TableKind::Data}}) {
    ReportFieldPlaces(*table, kind, warnings, out);
    ReportCodePage(*table, kind, warnings, out);
  }
}
