#pragma once
// A small writer of dBASE III tables: the two tables of the chart routine, any version byte,
// deleted records and deliberate damage, for tests, examples and hosts that want to try the
// routine by hand.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "dbf/recordlayout.h"
#include "runtime/atomicfile.h"

struct DbfField {
  std::string name;
  char type = 'C';
  int length = 1;
  int decimals = 0;
};

struct DbfRecord {
  std::string text;  // the record without its flag byte; padded or cut to the fields' width
  bool deleted = false;
};

// Damage that a test may ask for; every value left empty gives a sound table.
struct DbfDamage {
  std::optional<std::uint32_t> recordCount;  // header record count instead of the real one
  std::optional<std::uint16_t> headerLength;
  std::optional<std::uint16_t> recordLength;
  std::uint64_t cutBytes = 0;  // bytes cut off the end of the file
  std::string extraBytes;      // bytes added at the end of the file
};

struct DbfTable {
  std::uint8_t version = 3;
  std::vector<DbfField> fields;
  std::vector<DbfRecord> records;
  bool endOfFileMarker = true;
  std::optional<char> flagByte;  // a flag other than " " or "*" for every record
  std::uint8_t codePage = 0;     // header byte 29: the code page of the texts, 0 for none named
  DbfDamage damage;

  int RecordLength() const;  // flag byte plus the fields
};

std::string EncodeDbf(const DbfTable& table);

// Writes a table record by record, so that a table of any size takes little memory, and
// atomically (atomicfile.h): the file appears complete or not at all, and an existing file of
// that name stays as it was when a write fails. Throws FileError with the system's reason.
class DbfFileWriter {
 public:
  // `form` gives everything but the records: version, fields, flag byte, end-of-file marker and
  // damage.
  DbfFileWriter(const std::string& path, const DbfTable& form);
  void Add(const DbfRecord& record);
  // Completes the header and the file and puts it in place.
  void Commit();

 private:
  DbfTable form_;
  AtomicFile file_;
  std::uint32_t count_ = 0;
};

// Throws FileError with the system's reason when the table cannot be written.
void WriteDbf(const std::string& path, const DbfTable& table);

// Field widths in bytes, as the program reads them (recordlayout.h). Property records: lead
// number, data-set number, keyword, value.
inline constexpr int kPropertyLeadWidth = property_record::kLeadNumber.width;
inline constexpr int kDataSetNumberWidth = property_record::kDataSetNumber.width;
inline constexpr int kKeywordWidth = property_record::kKeyword.width;
inline constexpr int kPropertyValueWidth = property_record::kValue.width;
// Data records: lead number, label, then per data set a value and a colour name.
inline constexpr int kDataLeadWidth = data_record::kLeadNumber.width;
inline constexpr int kLabelWidth = data_record::kLabel.width;
inline constexpr int kDataValueWidth = data_record::kValueWidth;
inline constexpr int kColorNameWidth = data_record::kColorWidth;

// One property record: lead number, data-set number, keyword and value at their positions.
struct PropertyRow {
  std::string lead = "1";
  std::string dataSet = "1";
  std::string keyword;
  std::string value;
  bool deleted = false;
};
DbfTable PropertyTable(const std::vector<PropertyRow>& rows);
DbfRecord RecordOf(const PropertyRow& row);

// One data record: lead number, label and per data set a value and a colour name.
struct DataRow {
  std::string lead = "1";
  std::string label;
  std::vector<std::pair<std::string, std::string>> values;  // value text, colour name
  bool deleted = false;
};
DbfTable DataTable(int dataSetCount, const std::vector<DataRow>& rows);
DbfRecord RecordOf(const DataRow& row);

// Text of fixed-width fields: each value left-aligned in its width, cut when longer.
std::string FixedFields(const std::vector<std::pair<std::string, int>>& fields);
