#pragma once
// Where a table's writer put its fields, against where the program reads them. The program reads
// every field at a fixed place and never looks at the field descriptors; a writer that makes a
// field a byte narrower or wider shifts every field after it, and the run then fails far from
// the cause ("'-3.25r' is not a valid floating point value"). Only the checker reads the
// descriptors, to name the field that lies elsewhere and the fix for the common writers.

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "dbf/recordlayout.h"

class DbfFile;
class Warnings;

enum class TableKind { Properties, Data };

// A field as the table's header describes it.
struct FieldDescriptor {
  std::string name;
  char type = 'C';
  int decimals = 0;
  FieldSpan span;  // in the record text, from 1 (the flag byte is byte 0)
};

// The descriptors from byte 32 of the header up to their terminator or the header's end, each
// field placed after the one before it, the first at byte 1.
std::vector<FieldDescriptor> ReadFieldDescriptors(const DbfFile& table);

// A field where the program reads it: what it is ("the value of data set 2") and its bytes.
struct FixedField {
  std::string what;
  FieldSpan span;
};

// The fields of a table of `kind` in their order, those of every data set a data table can hold.
std::vector<FixedField> FixedFields(TableKind kind);

// The first field that the descriptors place elsewhere than the program reads it, with what the
// program reads instead and the fix for the common writers, as a warning under the table.
void ReportFieldPlaces(const DbfFile& table, TableKind kind, Warnings& warnings, std::ostream& out);
