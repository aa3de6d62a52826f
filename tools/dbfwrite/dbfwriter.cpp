#include "dbfwrite/dbfwriter.h"

#include <algorithm>
#include <numeric>

namespace {

constexpr int kHeaderFixedPart = 32;
constexpr int kDescriptorLength = 32;
constexpr char kDescriptorEnd = 0x0D;
constexpr char kEndOfFile = 0x1A;

void PutNumber(std::string& bytes, std::size_t offset, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i) bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string Descriptor(const DbfField& field) {
  std::string bytes(kDescriptorLength, '\0');
  bytes.replace(0, std::min<std::size_t>(field.name.size(), 10), field.name.substr(0, 10));
  bytes[11] = field.type;
  bytes[16] = static_cast<char>(field.length);
  bytes[17] = static_cast<char>(field.decimals);
  return bytes;
}

std::string Header(const DbfTable& table, std::uint32_t records) {
  const int headerLength = kHeaderFixedPart + kDescriptorLength * int(table.fields.size()) + 1;
  std::string bytes(kHeaderFixedPart, '\0');
  bytes[0] = static_cast<char>(table.version);
  bytes[1] = 126, bytes[2] = 12, bytes[3] = 7;  // date of last update: 2026-12-07
  PutNumber(bytes, 4, table.damage.recordCount.value_or(records), 4);
  PutNumber(bytes, 8, table.damage.headerLength.value_or(std::uint16_t(headerLength)), 2);
  PutNumber(bytes, 10, table.damage.recordLength.value_or(std::uint16_t(table.RecordLength())), 2);
  bytes[29] = static_cast<char>(table.codePage);
  for (const DbfField& field : table.fields) bytes += Descriptor(field);
  bytes += kDescriptorEnd;
  return bytes;
}

std::string Record(const DbfTable& table, const DbfRecord& record) {
  const char flag = record.deleted ? '*' : table.flagByte.value_or(' ');
  std::string text = record.text;
  text.resize(std::size_t(table.RecordLength() - 1), ' ');
  return flag + text;
}

}  // namespace

int DbfTable::RecordLength() const {
  return std::accumulate(fields.begin(), fields.end(), 1,
                         [](int sum, const DbfField& field) { return sum + field.length; });
}

std::string EncodeDbf(const DbfTable& table) {
  std::string bytes = Header(table, std::uint32_t(table.records.size()));
  for (const DbfRecord& record : table.records) bytes += Record(table, record);
  if (table.endOfFileMarker) bytes += kEndOfFile;
  bytes.resize(bytes.size() - std::min<std::uint64_t>(table.damage.cutBytes, bytes.size()));
  return bytes + table.damage.extraBytes;
}

DbfFileWriter::DbfFileWriter(const std::string& path, const DbfTable& form)
    : form_{.version = form.version,
            .fields = form.fields,
            .records = {},
            .endOfFileMarker = form.endOfFileMarker,
            .flagByte = form.flagByte,
            .codePage = form.codePage,
            .damage = form.damage},
      file_(path) {
  file_.Write(Header(form_, 0));  // the record count follows at the end
}

void DbfFileWriter::Add(const DbfRecord& record) {
  file_.Write(Record(form_, record));
  ++count_;
}

void DbfFileWriter::Commit() {
  file_.WriteAt(0, Header(form_, count_));
  if (form_.endOfFileMarker) file_.Write(std::string(1, kEndOfFile));
  file_.Truncate(file_.Size() - std::min(form_.damage.cutBytes, file_.Size()));
  file_.Write(form_.damage.extraBytes);
  file_.Commit();
}

void WriteDbf(const std::string& path, const DbfTable& table) {
  DbfFileWriter writer(path, table);
  for (const DbfRecord& record : table.records) writer.Add(record);
  writer.Commit();
}

std::string FixedFields(const std::vector<std::pair<std::string, int>>& fields) {
  std::string text;
  for (const auto& [value, width] : fields) {
    std::string cell = value.substr(0, std::size_t(width));
    cell.resize(std::size_t(width), ' ');
    text += cell;
  }
  return text;
}

DbfTable PropertyTable(const std::vector<PropertyRow>& rows) {
  DbfTable table;
  table.fields = {{"LEADNUM", 'C', kPropertyLeadWidth},
                  {"DATASET", 'C', kDataSetNumberWidth},
                  {"KEYWORD", 'C', kKeywordWidth},
                  {"VALUE", 'C', kPropertyValueWidth}};
  for (const PropertyRow& row : rows) table.records.push_back(RecordOf(row));
  return table;
}

DbfRecord RecordOf(const PropertyRow& row) {
  return {FixedFields({{row.lead, kPropertyLeadWidth},
                       {row.dataSet, kDataSetNumberWidth},
                       {row.keyword, kKeywordWidth},
                       {row.value, kPropertyValueWidth}}),
          row.deleted};
}

DbfTable DataTable(int dataSetCount, const std::vector<DataRow>& rows) {
  DbfTable table;
  table.fields = {{"LEADNUM", 'C', kDataLeadWidth}, {"LABEL", 'C', kLabelWidth}};
  for (int j = 1; j <= dataSetCount; ++j) {
    table.fields.push_back({"VALUE" + std::to_string(j), 'C', kDataValueWidth});
    table.fields.push_back({"COLOR" + std::to_string(j), 'C', kColorNameWidth});
  }
  for (const DataRow& row : rows) table.records.push_back(RecordOf(row));
  return table;
}

DbfRecord RecordOf(const DataRow& row) {
  std::vector<std::pair<std::string, int>> cells = {{row.lead, kDataLeadWidth},
                                                    {row.label, kLabelWidth}};
  for (const auto& [value, colour] : row.values) {
    cells.push_back({value, kDataValueWidth});
    cells.push_back({colour, kColorNameWidth});
  }
  return {FixedFields(cells), row.deleted};
}
