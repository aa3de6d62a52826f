#include <filesystem>

#include "dbffile.h"
#include "report.h"
#include "sections.h"
#include "tablecheck.h"

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
      return "a version the program does not read; it reads 0x03 dBASE, 0x30 Visual FoxPro and "
             "0xF5 FoxPro with memo";
  }
}

std::string Hex(std::uint8_t byte) {
  const char* digits = "0123456789ABCDEF";
  return std::string("0x") + digits[byte >> 4] + digits[byte & 0xF];
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
  DbfFile& file;
};

// The checks the run makes, each on both tables before the next: opening, versions, sizes.
enum class Reached { Opening, Versions, Sizes };

Reached CheckReached(const TableInQuestion (&tables)[2]) {
  for (const auto& table : tables) {
    if (!table.file.IsOpen()) return Reached::Opening;
  }
  for (const auto& table : tables) {
    if (!IsAcceptedVersion(table.file.version)) return Reached::Versions;
  }
  return Reached::Sizes;
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
  out << "    version " << Hex(table.file.version) << " (" << VersionName(table.file.version)
      << ")\n";
  if (reached == Reached::Versions) return;
  out << "    " << SizeText(table.file) << "\n";
}

// After a refusal the run's tables are closed: each is opened again to tell what it holds.
void ReopenForReport(TableInQuestion (&tables)[2]) {
  for (auto& table : tables) {
    if (table.file.Open(table.name)) table.file.ReadHeader();
  }
}

}  // namespace

std::optional<Refusal> ReportTableChecks(DbfFile& propertyFile, const std::string& propertyName,
                                         DbfFile& dataFile, const std::string& dataName,
                                         std::ostream& out) {
  out << "Tables, checked in the program's order (the data table first)\n";
  std::optional<Refusal> refusal =
      OpenAndCheckTables(propertyFile, propertyName, dataFile, dataName);
  DbfFile reopenedProperties, reopenedData;
  TableInQuestion tables[2] = {
      {"data table", dataName, refusal ? reopenedData : dataFile},
      {"property table", propertyName, refusal ? reopenedProperties : propertyFile}};
  if (refusal) ReopenForReport(tables);
  const Reached reached = CheckReached(tables);
  for (const auto& table : tables) ReportTable(table, reached, out);
  if (!refusal) out << "  Both tables pass.\n";
  return refusal;
}
