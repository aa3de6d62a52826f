#include "inspect/tablehints.h"

#include <iconv.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "dbf/dbffile.h"
#include "inspect/report.h"
#include "runtime/errors.h"
#include "runtime/numbers.h"
#include "runtime/text.h"

namespace {

constexpr std::uint64_t kCodePageByte = 29;
// The first live records among these are looked at for a text beyond ASCII.
constexpr std::uint32_t kRecordsLookedAt = 100;

// The code pages that header byte 29 names, as dBASE and FoxPro number them, where texts beyond
// ASCII show otherwise than in Windows-1252: the DOS code pages, and the other Windows ones.
constexpr std::pair<std::uint8_t, int> kCodePages[] = {
    {0x01, 437}, {0x02, 850},  {0x08, 865},  {0x09, 437},  {0x0A, 850},  {0x0B, 437},  {0x0D, 437},
    {0x0E, 850}, {0x0F, 437},  {0x10, 850},  {0x11, 437},  {0x12, 850},  {0x14, 850},  {0x15, 437},
    {0x16, 850}, {0x17, 865},  {0x18, 437},  {0x19, 437},  {0x1A, 850},  {0x1B, 437},  {0x1C, 863},
    {0x1D, 850}, {0x1F, 852},  {0x22, 852},  {0x23, 852},  {0x24, 860},  {0x25, 850},  {0x26, 866},
    {0x37, 850}, {0x40, 852},  {0x64, 852},  {0x65, 866},  {0x66, 865},  {0x67, 861},  {0x6A, 737},
    {0x6B, 857}, {0x7D, 1255}, {0x7E, 1256}, {0xC8, 1250}, {0xC9, 1251}, {0xCA, 1254}, {0xCB, 1253},
    {0xCC, 1257}};

std::optional<int> CodePageNamed(std::uint8_t byte) {
  const auto found = std::ranges::find(kCodePages, byte, &std::pair<std::uint8_t, int>::first);
  if (found == std::end(kCodePages)) return std::nullopt;
  return found->second;
}

// `text` in code page `codePage` as UTF-8; empty when the system cannot convert it.
std::string FromCodePage(std::string_view text, int codePage) {
  const iconv_t convert = iconv_open("UTF-8", ("CP" + std::to_string(codePage)).c_str());
  if (convert == iconv_t(-1)) return "";
  std::string in(text), out(text.size() * 4, '\0');
  char* from = in.data();
  char* to = out.data();
  std::size_t left = in.size(), room = out.size();
  const bool done = iconv(convert, &from, &left, &to, &room) != std::size_t(-1);
  iconv_close(convert);
  return done ? out.substr(0, out.size() - room) : "";
}

bool ShowsOtherwise(std::string_view text) {
  return std::ranges::any_of(text, [](char c) { return static_cast<unsigned char>(c) >= 0x80; }) &&
         !IsValidUtf8(text);
}

// The first live record's text field that holds bytes beyond ASCII and is no UTF-8, with its
// record number.
std::optional<std::pair<std::uint32_t, std::string>> TextBeyondAscii(const DbfFile& table,
                                                                     FieldSpan field) {
  const std::uint32_t last = std::min(table.recordCount, kRecordsLookedAt);
  for (std::uint32_t n = 1; n <= last; ++n) {
    if (!table.IsActive(n)) continue;
    const std::string text = Trim(FieldText(table.RecordText(n), field));
    if (ShowsOtherwise(text)) return std::pair{n, text};
  }
  return std::nullopt;
}

}  // namespace

void ReportCodePage(const DbfFile& table, TableKind kind, Warnings& warnings, std::ostream& out) {
  const std::string byte = table.ReadText(kCodePageByte, 1);
  const auto codePage = CodePageNamed(byte.empty() ? 0 : static_cast<std::uint8_t>(byte[0]));
  if (!codePage) return;
  const bool data = kind == TableKind::Data;
  const auto found = TextBeyondAscii(table, data ? data_record::kLabel : property_record::kValue);
  if (!found) return;
  const std::string meant = FromCodePage(found->second, *codePage);
  const std::string text =
      Quoted(table.FileName()) + ": its header names code page " + std::to_string(*codePage) +
      " (byte 29 is " + HexByte(static_cast<std::uint8_t>(byte[0])) +
      "), but the program shows a text as UTF-8 where it is valid UTF-8, else as Windows-1252: " +
      (data ? "the label" : "the value") + " of record " + std::to_string(found->first) +
      " shows as " + Quoted(found->second) + (meant.empty() ? "" : ", meant as " + Quoted(meant)) +
      ". Write the table's texts in UTF-8 or Windows-1252 (LibreOffice Calc: the character set "
      "\"Western Europe (Windows-1252/WinLatin 1)\" when saving as dBASE)";
  out << "  " << warnings.Mark(text) << "\n";
}

std::vector<NumberField> NumberFields(TableKind kind, int dataSets) {
  if (kind == TableKind::Properties) {
    return {{{"the lead number", property_record::kLeadNumber}, true},
            {{"the data-set number", property_record::kDataSetNumber}, true}};
  }
  std::vector<NumberField> fields = {{{"the lead number", data_record::kLeadNumber}, true}};
  for (int j = 0; j < dataSets; ++j) {
    fields.push_back(
        {{"the value of data set " + std::to_string(j + 1), data_record::Value(j)}, false});
  }
  return fields;
}

std::string NullNumberText(std::string_view text, const std::vector<NumberField>& fields) {
  for (const auto& [field, whole] : fields) {
    const std::string held = Trim(FieldText(text, field.span));
    try {
      whole ? void(StrToInt(held)) : void(StrToFloat(held));
      continue;
    } catch (const ConversionError&) {
    }
    if (held.empty() || held.find_first_not_of('*') != held.npos) return "";
    return field.what + " holds " + Quoted(held) +
           ", a dBASE null: how dBASE writers (GDAL's ogr2ogr among them) write a number left "
           "empty. The program reads no null: write a number in every cell of that column" +
           (whole ? " (1 will do)" : "") + ", or leave the record out";
  }
  return "";
}

std::string MemoAdvice(std::uint8_t version) {
  if (version != 0x83 && version != 0x8B) return "";
  return std::string("a version the program does not read: ") +
         (version == 0x83 ? "dBASE III" : "dBASE IV") +
         " with memo fields; write the table without memo fields, as a plain dBASE table (0x03), "
         "or as FoxPro with memo (0xF5), whose memo file the program never opens";
}
