#include <filesystem>

#include "dbffile.h"
#include "report.h"
#include "sections.h"

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
  out << "    version " << Hex(table.file.version) << " (" << VersionName(table.file.version)
      << ")\n";
  if (reached == Reached::Versions) return;
  out << "    " << SizeText(table.file) << "\n";
}

}  // namespace

void ReportTableChecks(const DbfFile& propertyFile, const std::string& propertyName,
                       const DbfFile& dataFile, const std::string& dataName, const Refusal* refusal,
                       std::ostream& out) {
  out << "Tables, checked in the program's order (the data table first)\n";
  const TableInQuestion tables[2] = {{"data table", dataName, dataFile},
                                     {"property table", propertyName, propertyFile}};
  for (const auto& table : tables) ReportTable(table, CheckReached(refusal), out);
  if (!refusal) out << "  Both tables pass.\n";
}
